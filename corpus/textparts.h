#pragma once

// The three parts of a corpus's text, numbered twice: by the index files
// of each part (IndexScope) and by the part of a result page that is marked
// (TextPart). The two numberings are fixed (the files and the renderer
// keep them); ScopeOf and TextPartOf are the one conversion between them.

// Which of the three parallel indexes: the whole text (全文, files
// "Index-idx.*"), the annotations (注釈, "Index_desc-idx.*") or the main
// text (正文, "Index_content-idx.*").
enum class IndexScope : int {
    WholeText = 0,
    Annotations = 1,
    MainText = 2,
};

// The part of a page whose hits a result page marks.
enum class TextPart : int {
    WholeText = 0,
    MainText = 1,
    Annotations = 2,
};

constexpr IndexScope ScopeOf(TextPart ePart) {
    return ePart == TextPart::MainText      ? IndexScope::MainText
           : ePart == TextPart::Annotations ? IndexScope::Annotations
                                            : IndexScope::WholeText;
}

constexpr TextPart TextPartOf(IndexScope eScope) {
    return eScope == IndexScope::MainText      ? TextPart::MainText
           : eScope == IndexScope::Annotations ? TextPart::Annotations
                                               : TextPart::WholeText;
}
