#include "import/poetrybooks.h"

namespace {

using Numbering = CPackageFile::Numbering;
using Shape = CPackageFile::Shape;

// The members each collection's items use. Most name the lines
// "paragraphs", the older files "content".
//                               title      title else  author    biography    volume     volume sub
//                               body          body else  required  notes
const PieceFields kPoem        {"title",   "rhythmic", "author", nullptr,     nullptr,   nullptr,
                                "paragraphs", "content", true,     "notes"};
const PieceFields kTangPoem    {"title",   nullptr,    "author", "biography", "volume",  nullptr,
                                "paragraphs", "content", true,     "notes"};
const PieceFields kChuciPoem   {"title",   nullptr,    "author", nullptr,     "section", nullptr,
                                "paragraphs", "content", true,     nullptr};
const PieceFields kShijingPoem {"title",   nullptr,    nullptr,  nullptr,     "chapter", "section",
                                "paragraphs", "content", true,     nullptr};
const PieceFields kChapter     {"chapter", nullptr,    nullptr,  nullptr,     "chapter", nullptr,
                                "paragraphs", "content", true,     nullptr};
// 南唐二主词's introduction, whose title names the volume.
const PieceFields kIntroduction{"title",   nullptr,    nullptr,  nullptr,     "title",   nullptr,
                                "desc",       nullptr,   false,    nullptr};

}  // namespace

const std::vector<PoetryBook>& CPoetryBooks::Books() {
    static const std::vector<PoetryBook> s_books = {
        {"集部", "楚辭", {BookPart("chuci/chuci.json", kChuciPoem).Cut(VolumeCut::Section)}},
        {nullptr, "御定全唐詩",
         {BookPart("yudingquantangshi/json", kTangPoem)
              .Files("", Numbering::Stem, "a volume file (volume files are named by their number, 001.json)")
              .Cut(VolumeCut::File, "卷")}},
        {nullptr, "五代詩詞",
         {BookPart("wudaishici/huajianji", kPoem)
              .Files("huajianji-", Numbering::Dashed,
                     "a volume of 花间集 (expected huajianji-N-….json, N a number or x for 10)")
              .Cut(VolumeCut::File, "花间集 卷", "花间集 序"),
          BookPart("wudaishici/nantang/intro.json", kIntroduction).Shape(Shape::Object).Cut(VolumeCut::None),
          BookPart("wudaishici/nantang/poetrys.json", kPoem)
              .Authors("wudaishici/nantang/authors.json", "desc")
              .Cut(VolumeCut::File, "南唐二主词")}},
        {nullptr, "全宋詩",
         {BookPart("quantangshi", kPoem)
              .Files("poet.song.")
              .Authors("quantangshi/authors.song.json", "desc")
              .Cut(VolumeCut::Count)}},
        {nullptr, "宋詞",
         {BookPart("songci", kPoem).Files("ci.song.").Authors("songci/author.song.json", "description").Cut(VolumeCut::Count)}},
        {nullptr, "元曲", {BookPart("yuanqu/yuanqu.json", kPoem).Cut(VolumeCut::Count)}},
        {"經部", "詩經", {BookPart("shijing/shijing.json", kShijingPoem).Cut(VolumeCut::Section)}},
        {nullptr, "論語", {BookPart("lunyu/lunyu.json", kChapter).Form(PieceForm::Chapter).Cut(VolumeCut::Item)}},
        // 大學 and 中庸 are one chapter each, 孟子 fourteen.
        {nullptr, "四書",
         {BookPart("sishuwujing/daxue.json", kChapter).Shape(Shape::ListOrObject).Form(PieceForm::Chapter).Cut(VolumeCut::Item),
          BookPart("sishuwujing/zhongyong.json", kChapter)
              .Shape(Shape::ListOrObject)
              .Form(PieceForm::Chapter)
              .Cut(VolumeCut::Item),
          BookPart("sishuwujing/mengzi.json", kChapter)
              .Shape(Shape::ListOrObject)
              .Form(PieceForm::Chapter)
              .Cut(VolumeCut::Item, "孟子·")}},
    };
    return s_books;
}
