#pragma once

// The 旧字体 that the 常用漢字表 gives for its 新字体, as a table of variant
// pairs (see CVariantPairs): 306 pairs of 304 新字体 (弁 has three), so that
// a reader who types 桜, 読 or 艶 finds 櫻, 讀 and 艷 in the texts.
class CJoyoKyujitai {
public:
    CJoyoKyujitai() = delete;

    // What the build reports as the source of these pairs.
    static const char* const Name;
    // The table: lines of 新字体, TAB, 旧字体 (UTF-8).
    static const char* Text();
};
