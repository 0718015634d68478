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
// A book's front matter: its title, its author, its preface (文字蒙求's) and
// the package's abstract of it as annotations.
const PieceFields kFrontMatter {"title",   nullptr,    "author", nullptr,     nullptr,   nullptr,
                                "preface",    nullptr,   false,    "abstract"};
// A primer given whole as one object.
const PieceFields kPrimer      {"title",   nullptr,    "author", nullptr,     nullptr,   nullptr,
                                "paragraphs", nullptr,   true,     nullptr};
// A chapter of a book without authors of its own (幼學瓊林, 弟子規).
const PieceFields kSection     {"chapter", nullptr,    nullptr,  nullptr,     nullptr,   nullptr,
                                "paragraphs", nullptr,   true,     nullptr};
// A section of a primer that names its volume (文字蒙求's 卷, 增廣賢文's 集).
const PieceFields kVolumeText  {nullptr,   nullptr,    nullptr,  nullptr,     "title",   nullptr,
                                "paragraphs", nullptr,   true,     nullptr};
const PieceFields kSayings     {nullptr,   nullptr,    nullptr,  nullptr,     "chapter", nullptr,
                                "paragraphs", nullptr,   true,     nullptr};
// 古文觀止's pieces: the author with the work it comes from (《左傳》).
const PieceFields kEssay       {"chapter", nullptr,    "author", "source",    nullptr,   nullptr,
                                "paragraphs", nullptr,   true,     nullptr};
// A poem of an anthology: 唐詩三百首 gives fuller titles in "subchapter",
// 千家詩 the parts of a poem (其一, 其二) as objects among its lines.
const PieceFields kAnthology   {"chapter", nullptr,    "author", nullptr,     nullptr,   nullptr,
                                "paragraphs", nullptr,   true,     nullptr,   "subchapter", "subchapter"};
// 曹操 and 納蘭性德: no author member, or the lines as "para"; 水墨唐詩's
// introduction to each poem, 幽夢影's comments: annotations.
const PieceFields kTitledPoem  {"title",   nullptr,    "author", nullptr,     nullptr,   nullptr,
                                "paragraphs", "para",    true,     nullptr};
const PieceFields kIntroduced  {"title",   nullptr,    "author", nullptr,     nullptr,   nullptr,
                                "paragraphs", nullptr,   true,     "prologue"};
const PieceFields kCommented   {nullptr,   nullptr,    nullptr,  nullptr,     nullptr,   nullptr,
                                "content",    nullptr,   true,     "comment"};

// The name of a book's only volume, where the collection has no sections.
const char* const kWhole = "全一卷";

}  // namespace

const std::vector<PoetryBook>& CPoetryBooks::Books() {
    // Placed by the four divisions (四部) and their classes (類), which the
    // comments name; the complete collections of 集部 before its anthologies.
    static const std::vector<PoetryBook> s_books = {
        // 楚辭類
        {"集部", "楚辭", {BookPart("chuci/chuci.json", kChuciPoem).Cut(VolumeCut::Section)}},
        // 別集類
        {nullptr, "曹操詩集", {BookPart("caocaoshiji/caocao.json", kTitledPoem).Cut(VolumeCut::File, kWhole)}},
        // 總集類
        {nullptr, "御定全唐詩",
         {BookPart("yudingquantangshi/json", kTangPoem)
              .Files("", Numbering::Stem, "a volume file (volume files are named by their number, 001.json)")
              .Reference()
              .Cut(VolumeCut::File, "卷")}},
        // The Tang poems of the other collection that 御定全唐詩 lacks, whole
        // or in part, and the one poem of 唐诗补录.
        {nullptr, "全唐詩補",
         {BookPart("quantangshi", kPoem)
              .Files("poet.tang.")
              .Authors("quantangshi/authors.tang.json", "desc")
              .Lacking()
              .Cut(VolumeCut::Count),
          BookPart("quantangshi/唐诗补录.json", kPoem).Lacking().Cut(VolumeCut::Count)}},
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
        // 詞曲類
        {nullptr, "宋詞",
         {BookPart("songci", kPoem).Files("ci.song.").Authors("songci/author.song.json", "description").Cut(VolumeCut::Count)}},
        {nullptr, "元曲", {BookPart("yuanqu/yuanqu.json", kPoem).Cut(VolumeCut::Count)}},
        {nullptr, "納蘭性德詞", {BookPart("nalanxingde/纳兰性德诗集.json", kTitledPoem).Cut(VolumeCut::File, kWhole)}},
        // 總集類: anthologies, a volume per section (卷, the forms of verse)
        {nullptr, "古文觀止",
         {BookPart("mengxue/guwenguanzhi.json", kFrontMatter).Shape(Shape::Object).Cut(VolumeCut::None),
          BookPart("mengxue/guwenguanzhi.json", kEssay)
              .Within("content")
              .Groups("content", "title")
              .Form(PieceForm::Chapter)
              .Cut(VolumeCut::Section)}},
        {nullptr, "唐詩三百首",
         {BookPart("mengxue/tangshisanbaishou.json", kAnthology)
              .Within("content")
              .Groups("content", "type")
              .Cut(VolumeCut::Section)}},
        {nullptr, "千家詩",
         {BookPart("mengxue/qianjiashi.json", kFrontMatter).Shape(Shape::Object).Cut(VolumeCut::None),
          BookPart("mengxue/qianjiashi.json", kAnthology).Within("content").Groups("content", "type").Cut(VolumeCut::Section)}},
        {nullptr, "水墨唐詩", {BookPart("shuimotangshi/shuimotangshi.json", kIntroduced).Cut(VolumeCut::File, kWhole)}},
        // 詩類
        {"經部", "詩經", {BookPart("shijing/shijing.json", kShijingPoem).Cut(VolumeCut::Section)}},
        // 四書類
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
        // 小學類: the primers of characters (千字文 four phrases a line) and
        // the 六書 of 文字蒙求 (its preface a volume of its own)
        {nullptr, "千字文",
         {BookPart("mengxue/qianziwen.json", kPrimer).Shape(Shape::Object).JoinLines(4).Cut(VolumeCut::File, kWhole)}},
        {nullptr, "百家姓", {BookPart("mengxue/baijiaxing.json", kPrimer).Shape(Shape::Object).Cut(VolumeCut::File, kWhole)}},
        {nullptr, "文字蒙求",
         {BookPart("mengxue/wenzimengqiu.json", kFrontMatter).Shape(Shape::Object).Cut(VolumeCut::File, "序"),
          BookPart("mengxue/wenzimengqiu.json", kVolumeText).Within("content").Form(PieceForm::Chapter).Cut(VolumeCut::Item)}},
        // 儒家類: the primers of conduct
        {"子部", "三字經（新版）",
         {BookPart("mengxue/sanzijing-new.json", kPrimer).Shape(Shape::Object).Cut(VolumeCut::File, kWhole)}},
        {nullptr, "三字經（傳統版）",
         {BookPart("mengxue/sanzijing-traditional.json", kPrimer).Shape(Shape::Object).Cut(VolumeCut::File, kWhole)}},
        {nullptr, "弟子規",
         {BookPart("mengxue/dizigui.json", kFrontMatter).Shape(Shape::Object).Cut(VolumeCut::None),
          BookPart("mengxue/dizigui.json", kSection).Within("content").DropSpaces().Cut(VolumeCut::File, kWhole)}},
        {nullptr, "朱子家訓", {BookPart("mengxue/zhuzijiaxun.json", kPrimer).Shape(Shape::Object).Cut(VolumeCut::File, kWhole)}},
        // 雜家類: sayings (增廣賢文 a volume per 集) and 清言
        {nullptr, "增廣賢文",
         {BookPart("mengxue/zengguangxianwen.json", kFrontMatter).Shape(Shape::Object).Cut(VolumeCut::None),
          BookPart("mengxue/zengguangxianwen.json", kSayings).Within("content").Form(PieceForm::Chapter).Cut(VolumeCut::Item)}},
        {nullptr, "幽夢影", {BookPart("youmengying/youmengying.json", kCommented).Cut(VolumeCut::File, kWhole)}},
        // 類書類: allusions by topic, phrase pairs by rhyme; a volume per 卷
        {nullptr, "幼學瓊林",
         {BookPart("mengxue/youxueqionglin.json", kFrontMatter).Shape(Shape::Object).Cut(VolumeCut::None),
          BookPart("mengxue/youxueqionglin.json", kSection)
              .Within("content")
              .Groups("content", "title")
              .Form(PieceForm::Chapter)
              .Cut(VolumeCut::Section)}},
        {nullptr, "聲律啓蒙",
         {BookPart("mengxue/shenglvqimeng.json", kFrontMatter).Shape(Shape::Object).Cut(VolumeCut::None),
          BookPart("mengxue/shenglvqimeng.json", kSection)
              .Within("content")
              .Groups("content", "title")
              .Form(PieceForm::Chapter)
              .Cut(VolumeCut::Section)}},
    };
    return s_books;
}
