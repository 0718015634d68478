// The importer of the npm package chinese-poetry, on a small package made
// here with the real package's layout, and the page packer it uses.

#include "builder/corpuswriter.h"
#include "builder/sourcetree.h"
#include "corpus/catalog.h"
#include "import/packagefile.h"
#include "import/pagepacker.h"
#include "import/poetryimporter.h"
#include "import/textcleaner.h"
#include "index/index.h"
#include "support/clirunner.h"
#include "support/tempdir.h"
#include "support/textpartnames.h"
#include "text/codeconverter.h"
#include "text/varianttable.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using ::testing::HasSubstr;

namespace {

std::string Poem(const std::string& strTitle, const std::string& strAuthor, const std::string& strLine) {
    return "{\"title\": \"" + strTitle + "\", \"author\": \"" + strAuthor + "\", \"paragraphs\": [\"" + strLine +
           "\"], \"id\": \"x\"}";
}

// A package with the folders and file names of chinese-poetry 2.0.1.
void WritePackage(const CTempDir& dir) {
    auto w = [&dir](const std::string& strPath, const std::string& strText) { dir.Write("pkg/" + strPath, strText); };
    w("package.json", R"({"name": "chinese-poetry", "version": "9.9.9", "license": "MIT"})");
    w("dist/yudingquantangshi/json/001.json", R"([
      {"title": "帝京篇", "author": "李世民", "biography": "帝姓李氏。", "paragraphs": ["秦川雄帝宅，函谷壯皇居。"],
       "notes": [""], "volume": "卷一", "no#": 1},
      {"title": "飲馬長城窟行", "author": "李世民", "biography": "", "paragraphs": ["塞外悲風切，交河冰已結。"],
       "notes": [""], "volume": "卷一", "no#": 2}])");
    // Text to clean: a line break in a title, braces of a composed character,
    // an entity, a "#" at the start of a line, markup-like brackets.
    w("dist/yudingquantangshi/json/002.json", R"([
      {"title": "登樓：上家山\r\n", "author": "朱斌", "biography": "",
       "paragraphs": ["白日依山盡，{臯兀}黃河入海流。", "# 欲窮&amp;千里目，<激楚>更上一重樓。", ""],
       "notes": ["（見《海錄碎事》）", ""], "volume": "卷二", "no#": 1}])");
    // No item names its volume: the file's number does (卷十).
    w("dist/yudingquantangshi/json/010.json", R"([{"title": "句", "author": "", "paragraphs": ["十卷"],
       "notes": [], "volume": "", "no#": 1}])");
    w("dist/quantangshi/authors.song.json", R"([{"name": "宋太祖", "desc": "宋太祖趙匡胤。", "id": "a"},
       {"name": "王", "desc": "甲", "id": "b"}, {"name": "王", "desc": "乙", "id": "c"}])");
    w("dist/quantangshi/poet.song.0.json", "[" + Poem("日詩", "宋太祖", "欲出未出光辣達") + "," + Poem("句", "宋太祖", "未離海底千山黑") + "]");
    // 1,000 poems: with the three before, the first volume ends three before
    // their end.
    std::string strMany = "[";
    for (int i = 0; i < 1000; ++i) strMany += (i ? "," : "") + Poem("詩" + std::to_string(i), i < 500 ? "王" : "李", "山");
    w("dist/quantangshi/poet.song.10.json", strMany + "]");
    w("dist/quantangshi/poet.song.2.json", "[" + Poem("次", "趙", "水") + "]");
    // The Tang poems of the other collection: one 御定全唐詩 holds, one it
    // holds in part, one it lacks, one without text; 唐诗补录's poem after them.
    w("dist/quantangshi/poet.tang.0.json", "[" + Poem("飲馬長城窟行", "李世民", "塞外悲風切，交河冰已結。") + "," +
                                               R"({"title": "帝京篇 一", "author": "李世民", "paragraphs":
                                                   ["秦川雄帝宅，函谷壯皇居。", "綺殿千尋起，離宮百雉餘。"]},)" +
                                               Poem("撥櫂歌 一", "德誠", "千尺絲綸直下垂，一波纔動萬波隨。") + "," +
                                               Poem("缺題", "李昂", "。") + "]");
    w("dist/quantangshi/authors.tang.json", R"([{"name": "德誠", "desc": "船子和尚。"}])");
    w("dist/quantangshi/唐诗补录.json", R"([{"author": "佚名", "paragraphs": ["住在绿池边，朝朝学采莲"], "title": "",
       "id": null, "notes": "长沙窑“补遗”《全唐詩》"}])");
    w("dist/songci/author.song.json", R"([{"name": "和岘", "description": "--", "short_description": ""}])");
    w("dist/songci/ci.song.0.json", R"([{"author": "和岘", "paragraphs": ["气和玉烛，睿化著鸿明。"], "rhythmic": "导引"}])");
    w("dist/songci/ci.song.2019y.json", R"([{"author": "李从周", "paragraphs": ["夢魂尋遍。"], "rhythmic": "清平乐"}])");
    w("dist/songci/宋词三百首.json", "[]");
    w("dist/yuanqu/yuanqu.json", R"([{"dynasty": "yuan", "author": "关汉卿", "paragraphs": ["半世为人。"],
       "title": "诈妮子调风月・仙吕/点绛唇"}])");
    w("dist/wudaishici/huajianji/huajianji-0-preface.json", R"([{"title": "花间集", "author": "赵崇祚",
       "paragraphs": ["镂玉雕琼[2]。"], "notes": ["2.镂玉雕琼--雕刻琼玉。"], "rhythmic": "花间集"}])");
    w("dist/wudaishici/huajianji/huajianji-1-juan.json", R"([{"title": "菩萨蛮 其一", "author": "温庭筠",
       "paragraphs": ["小山重叠金明灭。"], "notes": [], "rhythmic": "菩萨蛮"}])");
    w("dist/wudaishici/huajianji/huajianji-x-juan.json", R"([{"title": "河满子", "author": "毛熙震",
       "paragraphs": ["寂寞芳菲暗度。"], "notes": [], "rhythmic": "河满子"}])");
    w("dist/wudaishici/huajianji/huajianji-2-juan.json", R"([{"title": "", "author": "温庭筠",
       "paragraphs": ["上阳春晚。"], "notes": [], "rhythmic": "清平乐"}])");
    w("dist/wudaishici/nantang/intro.json", R"({"title": "南唐二主词", "desc": ["系南唐中主李璟、后主李煜撰。"]})");
    w("dist/wudaishici/nantang/authors.json", R"([{"name": "李璟", "desc": "南唐元宗，\n初名景通。"}])");
    w("dist/wudaishici/nantang/poetrys.json", R"([{"rhythmic": "应天长", "notes": ["初月--新月。"],
       "paragraphs": ["一钩初月临妆镜。"], "author": "李璟", "title": "应天长·一钩初月临妆镜"}])");
    w("dist/chuci/chuci.json", R"([{"title": "离骚", "section": "离骚", "author": "屈原", "content": ["帝高阳之苗裔兮。"]},
       {"title": "东皇太一", "section": "九歌", "author": "屈原", "content": ["吉日兮辰良。"]},
       {"title": "云中君", "section": "九歌", "author": "屈原", "content": ["浴兰汤兮沐芳。"]}])");
    w("dist/shijing/shijing.json", R"([{"title": "关雎", "chapter": "国风", "section": "周南", "content": ["关关雎鸠。"]},
       {"title": "鹿鸣", "chapter": "小雅", "section": "鹿鸣之什", "content": ["呦呦鹿鸣。"]}])");
    w("dist/lunyu/lunyu.json", R"([{"chapter": "学而篇", "paragraphs": ["子曰：学而时习之。", "有子曰：其为人也孝弟。"]},
       {"chapter": "为政篇", "paragraphs": ["子曰：为政以德。"]}])");
    w("dist/sishuwujing/daxue.json", R"({"chapter": "大學", "paragraphs": ["大學之道，在明明德。"]})");
    w("dist/sishuwujing/zhongyong.json", R"({"chapter": "中庸", "paragraphs": ["天命之謂性。"]})");
    w("dist/sishuwujing/mengzi.json", R"([{"chapter": "梁惠王上", "paragraphs": ["孟子見梁惠王。"]},
       {"chapter": "梁惠王下", "paragraphs": ["莊暴見孟子。"]}])");

    // The other collections, a shape each.
    w("dist/caocaoshiji/caocao.json", R"([{"title": "短歌行 其一", "paragraphs": ["对酒当歌，人生几何！"]}])");
    w("dist/nalanxingde/纳兰性德诗集.json", R"([{"title": "木兰花令·拟古决绝词", "para": ["人生若只如初见，何事秋风悲画扇。"],
       "author": "纳兰性德"}])");
    w("dist/shuimotangshi/shuimotangshi.json", R"([{"author": "孟郊", "title": "游子吟", "paragraphs": ["慈母手中线。"],
       "prologue": "这是一首母爱的颂歌。"}])");
    w("dist/youmengying/youmengying.json", R"([{"content": "少年读书，如隙中窥月。", "comment": ["张竹坡曰：吾为月下读书。"]},
       {"content": "读经宜冬。", "comment": ""}])");
    const std::string M = "dist/mengxue/";
    w(M + "guwenguanzhi.json", R"({"title": "古文觀止", "abstract": ["清人吳楚材選定。"], "content": [
       {"title": "卷一・周文", "content": [{"chapter": "鄭伯克段於鄢", "source": "《左傳》", "author": "先秦：左丘明 ",
        "paragraphs": ["初，鄭武公娶於申。", "及莊公即位。"]}]},
       {"title": "卷六・漢文", "content": [{"chapter": "出師表", "source": "《三國志》", "author": "兩漢：諸葛亮",
        "paragraphs": ["先帝創業未半而中道崩殂。"]}]}]})");
    w(M + "tangshisanbaishou.json", R"({"title": "唐詩三百首", "content": [
       {"type": "五言絕句", "content": [{"chapter": "登鸛雀樓", "subchapter": null, "author": "王之渙",
         "paragraphs": ["欲窮千里目。"]},
        {"chapter": "雜詩", "subchapter": "雜詩三首·其二", "author": "王維", "paragraphs": ["君自故鄉來。"]}]},
       {"type": "樂府", "content": [{"chapter": "出塞", "subchapter": "出塞", "author": "王昌齡",
         "paragraphs": ["秦時明月漢時關。"]}]}]})");
    w(M + "qianjiashi.json", R"({"title": "千家詩", "author": "謝枋得", "content": [{"type": "五言律詩", "content": [
       {"chapter": "攜妓納涼晚際遇雨", "author": "（唐）杜甫", "paragraphs": [{"subchapter": "其一",
         "paragraphs": ["落日放船好。"]}, {"subchapter": "其二", "paragraphs": ["雨來沾席上。"]}]}]}]})");
    w(M + "qianziwen.json", R"({"title": "千字文", "author": "周興嗣", "tags": "南北朝",
       "paragraphs": ["天地玄黃", "宇宙洪荒", "日月盈昃", "辰宿列張", "寒來暑往"], "spells": ["tiān dì xuán huáng"]})");
    w(M + "baijiaxing.json", R"({"title": "百家姓", "author": "佚名", "paragraphs": ["趙錢孫李，周吳鄭王。"],
       "origin": [{"surname": "趙", "place": "天水"}]})");
    w(M + "sanzijing-new.json", R"({"title": "三字經", "author": "王應麟", "tags": "新版", "paragraphs": ["人之初，性本善。"]})");
    w(M + "sanzijing-traditional.json", R"({"title": "三字經", "author": "王應麟", "paragraphs": ["人之初，性本善。"]})");
    w(M + "dizigui.json", R"({"title": "弟子規", "author": "李毓秀", "content": [{"chapter": "總敘",
       "paragraphs": ["弟子規 聖人訓 首孝弟 次謹信"]}]})");
    w(M + "zhuzijiaxun.json", R"({"title": "朱子家訓", "author": "朱柏廬", "paragraphs": ["黎明即起，灑掃庭除。"]})");
    w(M + "zengguangxianwen.json", R"({"title": "增廣賢文", "author": "佚名", "abstract": "古代兒童啓蒙書目。", "content": [
       {"chapter": "上集", "paragraphs": ["昔時賢文，誨汝諄諄。", "集韻增廣，多見多聞。"]},
       {"chapter": "下集", "paragraphs": ["百世修來同船渡。"]}]})");
    w(M + "youxueqionglin.json", R"({"title": "幼學瓊林", "author": "程登吉", "abstract": "兒童的啓蒙讀物。", "content": [
       {"title": "卷一", "content": [{"chapter": "天文", "paragraphs": ["混沌初開，乾坤始奠。"]}]},
       {"title": "卷二", "content": [{"chapter": "祖孫父子", "paragraphs": ["何謂五倫。"]}]}]})");
    w(M + "shenglvqimeng.json", R"({"title": "聲律啓蒙", "author": "車萬育", "abstract": "按韻分編。", "content": [
       {"title": "上卷", "content": [{"chapter": "一 東", "paragraphs": ["雲對雨，雪對風。"]}]}]})");
    w(M + "wenzimengqiu.json", R"({"title": "文字蒙求", "author": "王筠", "abstract": "講六書。", "preface": ["雪堂謂筠曰"],
       "content": [{"title": "卷一", "paragraphs": ["象形", "日●"]}, {"title": "卷二", "paragraphs": ["指事"]}]})");
}

// The folders of a source tree, relative to it, in name order.
std::vector<std::string> Folders(const std::string& strRoot, int nDepth) {
    std::vector<std::string> out;
    for (auto it = fs::recursive_directory_iterator(strRoot); it != fs::recursive_directory_iterator(); ++it)
        if (it->is_directory() && it.depth() + 1 == nDepth) out.push_back(fs::relative(it->path(), strRoot).string());
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> Leftovers(const CTempDir& dir) {
    std::vector<std::string> out;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        const std::string strName = entry.path().filename().string();
        if (strName.find(".importing-") != std::string::npos || strName.find(".old-") != std::string::npos)
            out.push_back(strName);
    }
    return out;
}

}  // namespace

TEST(ImportPoetryTest, WritesTheSourceLayout) {
    CTempDir dir;
    WritePackage(dir);
    CPoetryImporter importer;
    std::vector<std::string> progress;
    importer.SetProgressCallback([&progress](const std::string& s) { progress.push_back(s); });
    std::string strError;
    ASSERT_TRUE(importer.Import(dir.File("pkg"), dir.File("src/"), strError)) << strError;
    EXPECT_EQ(importer.PackageVersion(), "9.9.9");
    ASSERT_EQ(progress.size(), 27u);
    EXPECT_EQ(progress[5].rfind("全宋詩: 2 volumes, ", 0), 0u) << progress[5];
    EXPECT_EQ(progress[3], "全唐詩補: 1 volumes, 1 pages; of 5 poems, 3 lacking from the reference, 1 in it word for word, "
                           "0 loosely, 1 without text");

    // 集部 first (the default search range), then 經部 and 子部.
    EXPECT_EQ(Folders(dir.File("src"), 2),
              (std::vector<std::string>{
                  "01 集部/01 楚辭", "01 集部/02 曹操詩集", "01 集部/03 御定全唐詩", "01 集部/04 全唐詩補", "01 集部/05 五代詩詞",
                  "01 集部/06 全宋詩", "01 集部/07 宋詞", "01 集部/08 元曲", "01 集部/09 納蘭性德詞", "01 集部/10 古文觀止",
                  "01 集部/11 唐詩三百首", "01 集部/12 千家詩", "01 集部/13 水墨唐詩", "02 經部/01 詩經", "02 經部/02 論語",
                  "02 經部/03 四書", "02 經部/04 千字文", "02 經部/05 百家姓", "02 經部/06 文字蒙求", "03 子部/01 三字經（新版）",
                  "03 子部/02 三字經（傳統版）", "03 子部/03 弟子規", "03 子部/04 朱子家訓", "03 子部/05 增廣賢文",
                  "03 子部/06 幽夢影", "03 子部/07 幼學瓊林", "03 子部/08 聲律啓蒙"}));
    const std::vector<std::string> volumes = Folders(dir.File("src"), 3);
    for (const char* pszVolume :
         {"01 集部/01 楚辭/001 离骚", "01 集部/01 楚辭/002 九歌", "01 集部/03 御定全唐詩/001 卷一",
          "01 集部/03 御定全唐詩/002 卷二", "01 集部/03 御定全唐詩/003 卷十", "01 集部/05 五代詩詞/001 花间集 序",
          "01 集部/05 五代詩詞/002 花间集 卷一", "01 集部/05 五代詩詞/003 花间集 卷二", "01 集部/05 五代詩詞/004 花间集 卷十",
          "01 集部/05 五代詩詞/005 南唐二主词", "01 集部/06 全宋詩/001 第一冊 宋太祖—李",
          "01 集部/06 全宋詩/002 第二冊 李", "01 集部/07 宋詞/001 第一冊 和岘—李从周",
          "01 集部/08 元曲/001 第一冊 关汉卿", "02 經部/01 詩經/001 国风·周南", "02 經部/01 詩經/002 小雅·鹿鸣之什",
          "02 經部/02 論語/001 学而篇", "02 經部/02 論語/002 为政篇", "02 經部/03 四書/001 大學", "02 經部/03 四書/002 中庸",
          "02 經部/03 四書/003 孟子·梁惠王上", "02 經部/03 四書/004 孟子·梁惠王下"})
        EXPECT_THAT(volumes, ::testing::Contains(pszVolume));
    EXPECT_EQ(volumes.size(), 46u);
    EXPECT_EQ(importer.Summary().volumes, 46u);
    EXPECT_EQ(importer.Summary().books, 27u);
    EXPECT_EQ(importer.Summary().categories, 3u);

    // Title as heading, the author with the biography the poem carries,
    // the lines, the notes as annotations.
    const std::string T = "src/01 集部/03 御定全唐詩/";
    EXPECT_EQ(dir.Read(T + "001 卷一/0001.txt"),
              "# 帝京篇\n李世民{帝姓李氏。}\n秦川雄帝宅，函谷壯皇居。\n# 飲馬長城窟行\n李世民\n塞外悲風切，交河冰已結。\n");
    EXPECT_EQ(dir.Read(T + "002 卷二/0001.txt"),
              "# 登樓：上家山\n朱斌\n白日依山盡，｛臯兀｝黃河入海流。\n＃ 欲窮&千里目，<激楚>更上一重樓。\n{（見《海錄碎事》）}\n");
    // Biographies from the author files at the author's first poem; none for
    // a name two authors share, none that holds no word.
    const std::string S = "src/01 集部/06 全宋詩/";
    EXPECT_EQ(dir.Read(S + "001 第一冊 宋太祖—李/0001.txt"),
              "# 日詩\n宋太祖{宋太祖趙匡胤。}\n欲出未出光辣達\n# 句\n宋太祖\n未離海底千山黑\n# 次\n趙\n水\n"
              "# 詩0\n王\n山\n# 詩1\n王\n山\n");
    EXPECT_EQ(dir.Read("src/01 集部/07 宋詞/001 第一冊 和岘—李从周/0001.txt"),
              "# 导引\n和岘\n气和玉烛，睿化著鸿明。\n# 清平乐\n李从周\n夢魂尋遍。\n");
    EXPECT_EQ(dir.Read("src/01 集部/05 五代詩詞/005 南唐二主词/0001.txt"),
              "# 南唐二主词\n系南唐中主李璟、后主李煜撰。\n# 应天长·一钩初月临妆镜\n李璟{南唐元宗， 初名景通。}\n一钩初月临妆镜。\n{初月--新月。}\n");
    EXPECT_EQ(dir.Read("src/02 經部/02 論語/001 学而篇/0001.txt"), "# 学而篇\n子曰：学而时习之。\n有子曰：其为人也孝弟。\n");
    EXPECT_TRUE(fs::exists(dir.File("src/") + CPoetryImporter::MarkerFile));

    // The builder takes it; a search finds the poem in its book and volume.
    CorpusSource source;
    ASSERT_TRUE(CSourceTree::Read(dir.File("src"), source, strError)) << strError;
    EXPECT_EQ(source.PageCount(), importer.Summary().pages);
    CVariantTable variants;
    variants.Parse("56FD,570B\n");
    CCorpusWriter writer;
    ASSERT_TRUE(writer.Write(source, variants, dir.File("corpus"), strError)) << strError;
    EXPECT_EQ(writer.Summary().characters, importer.Summary().characters);
    CIndex index;
    ASSERT_TRUE(index.Open(dir.File("corpus"), "Index", IndexScope::MainText)) << index.GetOpenError();
    index.SearchPattern(u"白日依山盡", CombineReplace, true, true);
    ASSERT_EQ(index.GetResultPages().size(), 1u);
    std::vector<CatalogRecord> records;
    ASSERT_TRUE(CCatalog::Read(dir.File("corpus/vmk.dir"), records, strError)) << strError;
    const int32_t nPage = static_cast<int32_t>(index.GetResultPages()[0]) + 1;  // docID
    auto covering = [&](int32_t nLevel) {
        for (const CatalogRecord& r : records)
            if (r.level == nLevel && r.docID <= nPage && nPage < r.docID + r.docNo) return CCodeConverter::Utf16ToUtf8(r.name);
        return std::string();
    };
    EXPECT_EQ(covering(2), "御定全唐詩");
    EXPECT_EQ(covering(3), "卷二");
    // The composed character stayed text: no annotation cuts the line.
    index.SearchPattern(u"盡，｛臯兀｝黃", CombineReplace, true, true);
    EXPECT_EQ(index.GetResultPages().size(), 1u);
}

// Each collection's shape as its book: front matter, sections as volumes,
// parts of a poem, sources and comments as annotations, primers whole.
TEST(ImportPoetryTest, WritesEachCollectionAsItsBook) {
    CTempDir dir;
    WritePackage(dir);
    CVariantTable variants;
    CPoetryImporter importer;
    importer.SetVariants(&variants);
    std::string strError;
    ASSERT_TRUE(importer.Import(dir.File("pkg"), dir.File("src"), strError)) << strError;
    const std::pair<const char*, const char*> pages[] = {
        // Only the Tang poems 御定全唐詩 lacks, or holds in part, in the
        // package's order, counted into one volume across both files.
        {"01 集部/04 全唐詩補/001 第一冊 李世民—佚名",
         "# 帝京篇 一\n李世民\n秦川雄帝宅，函谷壯皇居。\n綺殿千尋起，離宮百雉餘。\n# 撥櫂歌 一\n德誠{船子和尚。}\n"
         "千尺絲綸直下垂，一波纔動萬波隨。\n佚名\n住在绿池边，朝朝学采莲\n{长沙窑“补遗”《全唐詩》}\n"},
        {"01 集部/02 曹操詩集/001 全一卷", "# 短歌行 其一\n对酒当歌，人生几何！\n"},
        {"01 集部/09 納蘭性德詞/001 全一卷", "# 木兰花令·拟古决绝词\n纳兰性德\n人生若只如初见，何事秋风悲画扇。\n"},
        {"01 集部/10 古文觀止/001 卷一・周文",
         "# 古文觀止\n{清人吳楚材選定。}\n# 鄭伯克段於鄢\n先秦：左丘明{《左傳》}\n初，鄭武公娶於申。\n及莊公即位。\n"},
        {"01 集部/10 古文觀止/002 卷六・漢文", "# 出師表\n兩漢：諸葛亮{《三國志》}\n先帝創業未半而中道崩殂。\n"},
        {"01 集部/11 唐詩三百首/001 五言絕句",
         "# 登鸛雀樓\n王之渙\n欲窮千里目。\n# 雜詩（雜詩三首·其二）\n王維\n君自故鄉來。\n"},
        {"01 集部/11 唐詩三百首/002 樂府", "# 出塞\n王昌齡\n秦時明月漢時關。\n"},
        {"01 集部/12 千家詩/001 五言律詩",
         "# 千家詩\n謝枋得\n# 攜妓納涼晚際遇雨\n（唐）杜甫\n# 其一\n落日放船好。\n# 其二\n雨來沾席上。\n"},
        {"01 集部/13 水墨唐詩/001 全一卷", "# 游子吟\n孟郊\n慈母手中线。\n{这是一首母爱的颂歌。}\n"},
        {"02 經部/04 千字文/001 全一卷", "# 千字文\n周興嗣\n天地玄黃宇宙洪荒日月盈昃辰宿列張\n寒來暑往\n"},
        {"02 經部/05 百家姓/001 全一卷", "# 百家姓\n佚名\n趙錢孫李，周吳鄭王。\n"},
        {"02 經部/06 文字蒙求/001 序", "# 文字蒙求\n王筠\n雪堂謂筠曰\n{講六書。}\n"},
        {"02 經部/06 文字蒙求/002 卷一", "象形\n日●\n"},
        {"02 經部/06 文字蒙求/003 卷二", "指事\n"},
        {"03 子部/01 三字經（新版）/001 全一卷", "# 三字經\n王應麟\n人之初，性本善。\n"},
        {"03 子部/02 三字經（傳統版）/001 全一卷", "# 三字經\n王應麟\n人之初，性本善。\n"},
        {"03 子部/03 弟子規/001 全一卷", "# 弟子規\n李毓秀\n# 總敘\n弟子規聖人訓首孝弟次謹信\n"},
        {"03 子部/04 朱子家訓/001 全一卷", "# 朱子家訓\n朱柏廬\n黎明即起，灑掃庭除。\n"},
        {"03 子部/05 增廣賢文/001 上集", "# 增廣賢文\n佚名\n{古代兒童啓蒙書目。}\n昔時賢文，誨汝諄諄。\n集韻增廣，多見多聞。\n"},
        {"03 子部/05 增廣賢文/002 下集", "百世修來同船渡。\n"},
        {"03 子部/06 幽夢影/001 全一卷", "少年读书，如隙中窥月。\n{张竹坡曰：吾为月下读书。}\n读经宜冬。\n"},
        {"03 子部/07 幼學瓊林/001 卷一", "# 幼學瓊林\n程登吉\n{兒童的啓蒙讀物。}\n# 天文\n混沌初開，乾坤始奠。\n"},
        {"03 子部/07 幼學瓊林/002 卷二", "# 祖孫父子\n何謂五倫。\n"},
        {"03 子部/08 聲律啓蒙/001 上卷", "# 聲律啓蒙\n車萬育\n{按韻分編。}\n# 一 東\n雲對雨，雪對風。\n"},
    };
    for (const auto& page : pages) {
        const std::string strFolder = std::string("src/") + page.first;
        EXPECT_EQ(dir.Read(strFolder + "/0001.txt"), page.second) << page.first;
        EXPECT_FALSE(fs::exists(dir.File(strFolder + "/0002.txt"))) << page.first;
    }
    EXPECT_EQ(importer.MatchSummary().lacking, 3u);
    EXPECT_EQ(importer.MatchSummary().exact, 1u);
    EXPECT_EQ(importer.MatchSummary().empty, 1u);
}

TEST(ImportPoetryTest, BadPackagesNameTheFileAndLeaveTheFolderAlone) {
    struct Case {
        const char* pszWhat;
        std::function<void(const CTempDir&)> spoil;
        std::string strMessage;  // under the folder
    };
    const std::string D = "pkg/dist/";
    const std::vector<Case> cases = {
        {"no package.json", [](const CTempDir& d) { fs::remove(d.File("pkg/package.json")); },
         "pkg: not an unpacked npm package"},
        {"another package", [](const CTempDir& d) { d.Write("pkg/package.json", R"({"name": "left-pad"})"); },
         "pkg/package.json: not the package chinese-poetry"},
        {"truncated JSON", [&](const CTempDir& d) { d.Write(D + "yuanqu/yuanqu.json", "[{\"title\": \"诈"); },
         D + "yuanqu/yuanqu.json: not valid JSON: line 1, column 16: syntax error while parsing value - invalid string: "
             "missing closing quote"},
        {"invalid UTF-8", [&](const CTempDir& d) { d.Write(D + "lunyu/lunyu.json", "[{\"chapter\": \"\xE5\x10\"}]"); },
         D + "lunyu/lunyu.json: not valid JSON: line 1, column 16: syntax error while parsing value - invalid string: "
             "ill-formed UTF-8 byte"},
        {"missing file", [&](const CTempDir& d) { fs::remove(d.File(D + "chuci/chuci.json")); }, D + "chuci/chuci.json"},
        {"no volume files", [&](const CTempDir& d) { fs::remove_all(d.File(D + "yudingquantangshi/json")); },
         D + "yudingquantangshi/json: cannot read the folder"},
        {"lines of the wrong type",
         [&](const CTempDir& d) { d.Write(D + "quantangshi/poet.song.2.json", "[{\"title\": \"a\"}, {\"paragraphs\": 5}]"); },
         D + "quantangshi/poet.song.2.json: item 1: no \"paragraphs\""},
        {"a line not a string",
         [&](const CTempDir& d) { d.Write(D + "shijing/shijing.json", "[{\"content\": [\"a\", [\"b\"]]}]"); },
         D + "shijing/shijing.json: item 1: \"content\" entry 2 is a list, not a string"},
        {"an item not an object", [&](const CTempDir& d) { d.Write(D + "songci/ci.song.0.json", "[\"导引\"]"); },
         D + "songci/ci.song.0.json: item 1 is a string, not an object"},
        {"not a list", [&](const CTempDir& d) { d.Write(D + "wudaishici/nantang/poetrys.json", "{}"); },
         D + "wudaishici/nantang/poetrys.json: expected a list of items, found an object"},
        {"odd volume file", [&](const CTempDir& d) { d.Write(D + "wudaishici/huajianji/huajianji-y-juan.json", "[]"); },
         D + "wudaishici/huajianji/huajianji-y-juan.json: not a volume of 花间集"},
        {"a title not a string", [&](const CTempDir& d) { d.Write(D + "yudingquantangshi/json/001.json", "[{\"title\": 1}]"); },
         D + "yudingquantangshi/json/001.json: item 1: \"title\" is a number, not a string"},
        {"deep nesting", [&](const CTempDir& d) { d.Write(D + "sishuwujing/mengzi.json", std::string(100000, '[')); },
         D + "sishuwujing/mengzi.json: not valid JSON: nested deeper than 200 levels"},
        {"too large", [&](const CTempDir& d) { d.Write(D + "lunyu/lunyu.json", std::string(CPackageFile::MaxFileBytes + 1, ' ')); },
         D + "lunyu/lunyu.json: file too large"},
        {"intro not an object", [&](const CTempDir& d) { d.Write(D + "wudaishici/nantang/intro.json", "[]"); },
         D + "wudaishici/nantang/intro.json: expected an object, found a list"},
        {"odd 全唐詩 volume file", [&](const CTempDir& d) { d.Write(D + "yudingquantangshi/json/卷一.json", "[]"); },
         D + "yudingquantangshi/json/卷一.json: not a volume file (volume files are named by their number, 001.json)"},
        {"author without a name",
         [&](const CTempDir& d) { d.Write(D + "songci/author.song.json", R"([{"name": "和岘"}, {"description": "--"}])"); },
         D + "songci/author.song.json: item 2: no \"name\""},
        {"a chapter not a string", [&](const CTempDir& d) { d.Write(D + "sishuwujing/daxue.json", R"({"chapter": ["大學"]})"); },
         D + "sishuwujing/daxue.json: \"chapter\" is a list, not a string"},
        {"no list in the object", [&](const CTempDir& d) { d.Write(D + "mengxue/guwenguanzhi.json", R"({"title": "古文觀止"})"); },
         D + "mengxue/guwenguanzhi.json: no \"content\""},
        {"a group not an object",
         [&](const CTempDir& d) { d.Write(D + "mengxue/tangshisanbaishou.json", R"({"content": ["五言絕句"]})"); },
         D + "mengxue/tangshisanbaishou.json: \"content\" item 1 is a string, not an object"},
        {"a group's items not a list",
         [&](const CTempDir& d) { d.Write(D + "mengxue/qianjiashi.json", R"({"content": [{"type": "五言", "content": {}}]})"); },
         D + "mengxue/qianjiashi.json: \"content\" item 1: \"content\" is an object, not a list"},
        {"a line of a part not a string",
         [&](const CTempDir& d) {
             d.Write(D + "mengxue/qianjiashi.json",
                     R"({"content": [{"type": "五言", "content": [{"paragraphs": [{"subchapter": "其一", "paragraphs": [1]}]}]}]})");
         },
         D + "mengxue/qianjiashi.json: \"content\" item 1: \"content\" item 1: \"paragraphs\" entry 1: \"paragraphs\" "
             "entry 1 is a number, not a string"},
        {"a primer not an object", [&](const CTempDir& d) { d.Write(D + "mengxue/sanzijing-new.json", "[]"); },
         D + "mengxue/sanzijing-new.json: expected an object, found a list"},
        {"a Tang poem without lines", [&](const CTempDir& d) { d.Write(D + "quantangshi/poet.tang.0.json", R"([{"title": "x"}])"); },
         D + "quantangshi/poet.tang.0.json: item 1: no \"paragraphs\""},
        {"no text for a book", [&](const CTempDir& d) { d.Write(D + "lunyu/lunyu.json", R"([{"chapter": "空", "paragraphs": [""]}])"); },
         "pkg: the package holds no text for 論語"},
    };
    for (const Case& c : cases) {
        CTempDir dir;
        WritePackage(dir);
        dir.Write("src/" + std::string(CPoetryImporter::MarkerFile), "");
        dir.Write("src/earlier.txt", "from an earlier import");
        c.spoil(dir);
        CPoetryImporter importer;
        std::string strError;
        EXPECT_FALSE(importer.Import(dir.File("pkg"), dir.File("src"), strError)) << c.pszWhat;
        EXPECT_THAT(strError, HasSubstr(dir.Path() + "/" + c.strMessage)) << c.pszWhat;
        EXPECT_EQ(dir.Read("src/earlier.txt"), "from an earlier import") << c.pszWhat;
        EXPECT_THAT(Leftovers(dir), ::testing::IsEmpty()) << c.pszWhat;
    }
}

TEST(ImportPoetryTest, ReplacesOnlyAFolderItWrote) {
    CTempDir dir;
    WritePackage(dir);
    dir.Write("mine/notes.txt", "keep me");
    CPoetryImporter importer;
    std::string strError;
    EXPECT_FALSE(importer.Import(dir.File("pkg"), dir.File("mine"), strError));
    EXPECT_THAT(strError, HasSubstr(dir.File("mine") + ": the folder holds files that import-poetry did not write"));
    EXPECT_EQ(dir.Read("mine/notes.txt"), "keep me");

    ASSERT_TRUE(importer.Import(dir.File("pkg"), dir.File("src"), strError)) << strError;
    dir.Write("src/01 集部/stale.txt", "");
    ASSERT_TRUE(importer.Import(dir.File("pkg"), dir.File("src"), strError)) << strError;
    EXPECT_FALSE(fs::exists(dir.File("src/01 集部/stale.txt")));
    EXPECT_THAT(Leftovers(dir), ::testing::IsEmpty());

    // As a command: the summary, or the error with status 2.
    CliResult result = RunCli({"import-poetry", dir.File("pkg"), dir.File("src")});
    EXPECT_EQ(result.nStatus, 0) << result.strErr;
    EXPECT_THAT(result.strErr, HasSubstr("chinese-poetry 9.9.9: 3 categories, 27 books, 46 volumes"));
    result = RunCli({"import-poetry", "--quiet", dir.File("none"), dir.File("src")});
    EXPECT_EQ(result.nStatus, 2);
    EXPECT_EQ(result.strErr, "tessaline-cli import-poetry: " + dir.File("none") +
                                 ": not an unpacked npm package (no package.json); unpack the file of 'npm pack "
                                 "chinese-poetry' and give the folder that holds dist/\n");
}

TEST(ImportPoetryTest, CleansTextAndNames) {
    const std::pair<const char*, const char*> texts[] = {
        {"  a{b}c#d  ", "a｛b｝c＃d"},
        {"上家山\r\n", "上家山"},
        {"甲\n\n\t乙", "甲 乙"},
        {"&amp;&lt;&gt;&quot;&apos;&nbsp;x", "&<>\"' x"},
        {"&#20013;&#x570B;&#X56fd;", "中國国"},
        {"&#123;&#x7D;&#35;", "｛｝＃"},  // decoded braces are still not markup
        {"&bogus; &#; &#xD800; &#0; &#99999999; &amp", "&bogus; &＃; &＃xD800; &＃0; &＃99999999; &amp"},
        {"\xEF\xBB\xBF甲\xC2\x85乙\xE2\x80\xA8", "甲 乙"},
        {"<激楚>", "<激楚>"},
    };
    for (const auto& t : texts) EXPECT_EQ(CTextCleaner::CleanText(t.first), t.second) << t.first;

    EXPECT_EQ(CTextCleaner::CleanName("釋{巩/言}元"), "釋｛巩／言｝元");
    EXPECT_EQ(CTextCleaner::CleanName(".hidden"), "．hidden");
    const std::string strLong(100, 'x');
    EXPECT_EQ(CTextCleaner::CleanName(strLong), std::string(80, 'x'));
    std::string strWide;
    for (int i = 0; i < 50; ++i) strWide += "\U00020000";
    EXPECT_EQ(CCodeConverter::Utf8ToUtf16(CTextCleaner::CleanName(strWide)).size(), 80u);

    // Author records that hold no word give no biography.
    for (const char* psz : {"--", "", " 。，", "（）"}) EXPECT_FALSE(CTextCleaner::HasWords(psz)) << psz;
    for (const char* psz : {"-a-", "7", "--王--", "\U00020000"}) EXPECT_TRUE(CTextCleaner::HasWords(psz)) << psz;

    const std::pair<size_t, const char*> numbers[] = {
        {1, "一"},      {10, "十"},         {11, "十一"},       {20, "二十"},        {101, "一百零一"},
        {110, "一百一十"}, {203, "二百零三"}, {255, "二百五十五"}, {1001, "一千零一"}, {1010, "一千零一十"},
        {9999, "九千九百九十九"}, {12345, "12345"},
    };
    for (const auto& n : numbers) EXPECT_EQ(CTextCleaner::ChineseNumber(n.first), n.second) << n.first;
}

TEST(PagePackerTest, KeepsPiecesWholeWhereTheyFit) {
    // A piece of 10 rows: a heading and four one-row lines, each with its gap.
    const std::vector<std::string> piece = {"# 題", "甲乙丙丁", "甲乙丙丁", "甲乙丙丁", "甲乙丙丁"};
    ASSERT_EQ(CPagePacker::LineRows("# 題"), 2u);
    ASSERT_EQ(CPagePacker::LineRows(std::string(26 * 3, 'x')), 4u);
    ASSERT_EQ(CPagePacker::LineRows(std::string(26 * 3 + 1, 'x')), 5u);
    ASSERT_EQ(CPagePacker::LineRows("a{" + std::string(25, 'b') + "}"), 2u);  // braces take no room
    CPagePacker packer;
    for (int i = 0; i < 4; ++i) packer.AddPiece(piece);
    // A piece longer than a page starts a page and runs on.
    std::vector<std::string> longPiece = {"# 長"};
    for (int i = 0; i < 20; ++i) longPiece.push_back("乙" + std::to_string(i));
    packer.AddPiece(longPiece);
    const std::vector<std::string> pages = packer.TakePages();
    ASSERT_EQ(pages.size(), 4u);
    const std::string strPiece = "# 題\n甲乙丙丁\n甲乙丙丁\n甲乙丙丁\n甲乙丙丁\n";
    EXPECT_EQ(pages[0], strPiece + strPiece + strPiece);
    EXPECT_EQ(pages[1], strPiece);
    EXPECT_EQ(pages[2].substr(0, 6), "# 長\n");
    EXPECT_EQ(std::count(pages[2].begin(), pages[2].end(), '\n'), 16);  // 2 + 15 × 2 = 32 rows
    EXPECT_EQ(pages[3], "乙15\n乙16\n乙17\n乙18\n乙19\n");
    EXPECT_TRUE(packer.TakePages().empty());
}

TEST(PagePackerTest, CutsOnlyLinesLongerThanAPageAndNeverAnAnnotation) {
    const size_t nMax = (CPagePacker::PageRows - 1) * CPagePacker::RowChars;  // 806
    auto pack = [](const std::vector<std::string>& lines) {
        CPagePacker packer;
        packer.AddPiece(lines);
        return packer.TakePages();
    };
    auto chars = [](const std::string& s) { return CCodeConverter::Utf8ToUtf32(s).size(); };

    // Prose: cut after the last sentence end that fits.
    std::string strSentence;
    for (int i = 0; i < 29; ++i) strSentence += "子";
    strSentence += "。";  // 30 characters
    std::string strProse;
    for (int i = 0; i < 60; ++i) strProse += strSentence;
    std::vector<std::string> pages = pack({"前", strProse});
    ASSERT_EQ(pages.size(), 4u);
    EXPECT_EQ(pages[0], "前\n");  // the long line starts a page of its own
    std::string strJoined;
    for (size_t i = 1; i < pages.size(); ++i) {
        const std::string strLine = pages[i].substr(0, pages[i].size() - 1);
        EXPECT_LE(chars(strLine), nMax);
        if (i + 1 < pages.size()) {
            EXPECT_EQ(chars(strLine), 780u);  // 26 sentences
        }
        strJoined += strLine;
    }
    EXPECT_EQ(strJoined, strProse);

    // An annotation in the way: the cut falls before it.
    const std::string strNote = "{" + std::string(200, 'n') + "}";
    pages = pack({std::string(700, 'a') + strNote + std::string(100, 'b')});
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0], std::string(700, 'a') + "\n");
    EXPECT_EQ(pages[1], strNote + std::string(100, 'b') + "\n");

    // An annotation longer than a page stays whole; the rest goes on.
    const std::string strHuge = "{" + std::string(1000, 'n') + "}";
    pages = pack({"x" + strHuge + std::string(900, 'y')});
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0], "x" + strHuge + "\n");
    EXPECT_EQ(pages[1], std::string(nMax, 'y') + "\n");
    EXPECT_EQ(pages[2], std::string(900 - nMax, 'y') + "\n");

    // A heading is never cut.
    const std::string strHeading = "# " + std::string(1000, 'h');
    EXPECT_EQ(pack({strHeading}), (std::vector<std::string>{strHeading + "\n"}));
}
