// Writes the seed inputs of the fuzz targets from a small corpus made by the
// corpus writer: fuzzseeds OUT_DIR (one folder per target).
#include "builder/corpuswriter.h"
#include "corpus/corpusfiles.h"
#include "import/poetrybooks.h"
#include "index/index.h"
#include "text/codeconverter.h"
#include "text/varianttable.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string ReadFile(const std::string& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void Write(const std::string& strPath, const std::string& strBytes) {
    std::filesystem::create_directories(std::filesystem::path(strPath).parent_path());
    std::ofstream(strPath, std::ios::binary) << strBytes;
}

void PutUint32(std::string& s, uint32_t n) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
}

uint32_t GetUint32(const std::string& s, size_t nAt) {
    uint32_t n = 0;
    for (int i = 3; i >= 0; --i) n = n << 8 | static_cast<uint8_t>(s[nAt + static_cast<size_t>(i)]);
    return n;
}

std::string Utf16Bytes(const std::u16string& s) {
    std::string out;
    for (char16_t u : s) {
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzzseeds OUT_DIR\n");
        return 2;
    }
    const std::string strOut = argv[1];
    const std::string strCorpus = strOut + "/.corpus";
    CorpusSource source;
    source.categories.push_back({"類", {{"書", {{"卷", {}}}}}});
    std::string strLong;
    for (int i = 0; i < 600; ++i) strLong += "中國人之";
    const char* pages[] = {"# 題\n中國之人{注：國，国也}人人人\n天下明月", "國人中國\n人人{人}", strLong.c_str()};
    int nNumber = 1;
    for (const char* pszText : pages) source.categories[0].books[0].volumes[0].pages.push_back({nNumber++, pszText, ""});
    CVariantTable variants;
    variants.Parse("4E2D,570B\n");
    CCorpusWriter writer;
    writer.SetShuffleSeed(3);
    std::string strError;
    if (!writer.Write(source, variants, strCorpus, strError)) {
        std::fprintf(stderr, "%s\n", strError.c_str());
        return 2;
    }

    // fuzzindex: the real tables of its four slots, the chain and postings.
    const std::string strHeader = ReadFile(strCorpus + "/Index-idx.h");
    const uint32_t nChain = static_cast<uint32_t>(std::min<size_t>((strHeader.size() - 1400000) / 4, 255));
    std::string strIndex(1, static_cast<char>(nChain));
    for (int32_t nSlot : {CCodeConverter::IndexSlot(U'中'), CCodeConverter::IndexSlot(U'國'), CCodeConverter::IndexSlot(U'人'), 88065}) {
        PutUint32(strIndex, GetUint32(strHeader, 4 * static_cast<size_t>(nSlot)));
        PutUint32(strIndex, GetUint32(strHeader, 1000000 + 4 * static_cast<size_t>(nSlot)));
    }
    for (uint32_t i = 0; i < nChain; ++i) PutUint32(strIndex, GetUint32(strHeader, 1400000 + 4 * i));
    Write(strOut + "/fuzzindex/corpus", strIndex + ReadFile(strCorpus + "/Index-idx.m"));

    // fuzzfilelist: the store.
    const std::string strRecords = ReadFile(strCorpus + "/Index-fl.h");
    std::string strStore;
    PutUint32(strStore, static_cast<uint32_t>(strRecords.size()));
    Write(strOut + "/fuzzfilelist/corpus", strStore + strRecords + ReadFile(strCorpus + "/Index-fl.cnt"));

    // fuzzrender: each page with keywords, in each text part.
    CIndex index;
    if (!index.Open(strCorpus, CCorpusFiles::BaseName, IndexScope::WholeText)) return 2;
    for (int32_t nPage = 0; nPage < 2; ++nPage) {
        std::string strPage;
        index.ReadPage(nPage, strPage);
        const std::u16string strKeywords = u"中國 人?之 國*人";
        for (int nPart = 0; nPart < 3; ++nPart) {
            std::string strSeed(1, static_cast<char>(((nPage + 1) & 1) | nPart << 1));
            strSeed.push_back(static_cast<char>(strKeywords.size()));
            const char* const kPartNames[] = {"whole", "main", "notes"};
            Write(strOut + "/fuzzrender/page" + std::to_string(nPage) + "-" + kPartNames[nPart],
                  strSeed + Utf16Bytes(strKeywords) + strPage);
        }
        // With variants: the forms that occur on the page.
        const std::u16string strForms = u"国 學*人 桜?";
        std::string strSeed(1, static_cast<char>(((nPage + 1) & 1) | 8));
        strSeed.push_back(static_cast<char>(strForms.size()));
        Write(strOut + "/fuzzrender/page" + std::to_string(nPage) + "-variants", strSeed + Utf16Bytes(strForms) + strPage);
    }

    // fuzzkeywords: keyword lines.
    int n = 0;
    for (const char16_t* psz : {u"中國", u"中 國", u"人人", u"中?國*人", u"国", u"\U00027944?", u"*", u"中a"}) {
        const char nMode = static_cast<char>(n * 37);  // and/or, counting, variants, part
        Write(strOut + "/fuzzkeywords/k" + std::to_string(n++), std::string(1, nMode) + Utf16Bytes(psz));
    }

    // fuzztables: the variant table and the catalogue.
    Write(strOut + "/fuzztables/yitizi", ReadFile(strCorpus + "/" + CCorpusFiles::Variants) + "56FD,570B,56EF\n,,4E00\n");
    Write(strOut + "/fuzztables/vmk", ReadFile(strCorpus + "/" + CCorpusFiles::Catalogue));
    // fuzzpoetry: a file of each kind of part (the first byte picks the
    // part in the book table), as the package writes them.
    // The nth part (from 0) read from pszPath.
    auto partNumber = [](const char* pszPath, int nNth) {
        size_t n = 0;
        for (const PoetryBook& book : CPoetryBooks::Books())
            for (const BookPart& part : book.parts) {
                if (std::string(part.pszPath) == pszPath && nNth-- == 0) return static_cast<char>(n);
                ++n;
            }
        return static_cast<char>(0);
    };
    const struct {
        const char* pszName;
        const char* pszPart;
        const char* pszText;
        int nNth = 0;  // the nth part read from pszPart
    } kPoetry[] = {
        {"chuci", "chuci/chuci.json",
         R"([{"title": "离骚", "section": "离骚", "author": "屈原", "content": ["帝高阳之苗裔兮，朕皇考曰伯庸。"]},)"
         R"( {"title": "东皇太一", "section": "九歌", "author": "屈原", "content": ["吉日兮辰良。"]}])"},
        {"tang", "yudingquantangshi/json",
         R"([{"title": "登樓：上家山\r\n", "author": "朱斌", "biography": "帝姓李氏。&amp;", "volume": "卷二", "no#": 1,)"
         R"( "paragraphs": ["白日依山盡，{臯兀}黃河入海流。", "# 欲窮&#21315;里目，<激楚>更上一重樓。", ""],)"
         R"( "notes": ["（見《海錄碎事》）", "", null]}])"},
        {"songci", "songci",
         R"([{"author": "和岘", "paragraphs": ["气和玉烛，睿化著鸿明。"], "rhythmic": "导引"},)"
         R"( {"title": "", "author": "李从周", "paragraphs": "夢魂尋遍。", "rhythmic": "清平乐", "notes": []}])"},
        {"intro", "wudaishici/nantang/intro.json", R"({"title": "南唐二主词", "desc": ["系南唐中主李璟、后主李煜撰。"]})"},
        {"authors", "quantangshi",
         R"([{"name": "宋太祖", "desc": "宋太祖趙匡胤。", "id": "a"}, {"name": "王", "desc": "甲"}, {"name": "王", "desc": "乙"}])"},
        {"shijing", "shijing/shijing.json",
         R"([{"title": "关雎", "chapter": "国风", "section": "周南", "content": ["关关雎鸠，在河之洲。"]}])"},
        {"lunyu", "lunyu/lunyu.json", R"([{"chapter": "学而篇", "paragraphs": ["子曰：学而时习之。", "有子曰：其为人也孝弟。"]}])"},
        {"daxue", "sishuwujing/daxue.json", "\xEF\xBB\xBF{\"chapter\": \"大學\", \"paragraphs\": [\"大學之道，在明明德。\\u3002\"]}"},
        {"tanglacking", "quantangshi",
         R"([{"title": "帝京篇 一", "author": "太宗皇帝", "paragraphs": ["秦川雄帝宅，函谷壯皇居。", "綺殿千尋起（一作「此」），離宮百雉餘。"]},)"
         R"( {"title": "帝京篇", "author": "李世民", "paragraphs": ["秦川雄帝宅，函谷壯皇居。綺殿千尋起，"]},)"
         R"( {"title": "", "author": "佚名", "paragraphs": ["。"]}, {"title": "又", "author": "李世民1", "paragraphs": ["秦川雄帝宅"]}])"},
        {"frontmatter", "mengxue/guwenguanzhi.json",
         R"({"title": "古文觀止", "author": "吳楚材", "abstract": ["清人選定。"], "preface": "序", "content": []})"},
        {"groups", "mengxue/guwenguanzhi.json",
         R"({"title": "古文觀止", "content": [{"title": "卷一・周文", "content": [{"chapter": "鄭伯克段於鄢",)"
         R"( "source": "《左傳》", "author": "先秦：左丘明 ", "paragraphs": ["初，鄭武公娶於申。"]}]},)"
         R"( {"title": "卷二", "content": [{"chapter": "周鄭交質", "paragraphs": []}]}]})", 1},
        {"parts", "mengxue/qianjiashi.json",
         R"({"title": "千家詩", "content": [{"type": "五言律詩", "content": [{"chapter": "攜妓納涼晚際遇雨",)"
         R"( "author": "（唐）杜甫", "subchapter": "又", "paragraphs": [{"subchapter": "其一", "paragraphs": ["落日放船好。"]},)"
         R"( "雨來沾席上。", null]}]}]})", 1},
        {"primer", "mengxue/qianziwen.json",
         R"({"title": "千字文", "author": "周興嗣", "paragraphs": ["天地玄黃", "宇宙洪荒", "日月盈昃"], "spells": ["tiān"]})"},
        {"sayings", "youmengying/youmengying.json",
         R"([{"content": "少年读书，如隙中窥月。", "comment": ["张竹坡曰：吾为月下读书。"]}, {"content": "读经宜冬。", "comment": ""}])"},
    };
    for (const auto& seed : kPoetry)
        Write(strOut + "/fuzzpoetry/" + seed.pszName, partNumber(seed.pszPart, seed.nNth) + std::string(seed.pszText));

    std::filesystem::remove_all(strCorpus);
    return 0;
}
