// Which Tang poems 御定全唐詩 lacks: the poem matcher on a small reference
// with the faults of the package's (poems of several parts as one, lines
// lost, variant characters, names in other forms).

#include "import/poemmatcher.h"
#include "text/varianttable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

Piece Poem(const std::string& strAuthor, std::vector<std::string> lines) {
    Piece piece;
    piece.author = strAuthor;
    piece.paragraphs = std::move(lines);
    return piece;
}

const char* Name(PoemVerdict eVerdict) {
    switch (eVerdict) {
    case PoemVerdict::Exact: return "exact";
    case PoemVerdict::Loose: return "loose";
    case PoemVerdict::Lacking: return "lacking";
    case PoemVerdict::Empty: return "empty";
    }
    return "?";
}

}  // namespace

TEST(PoemMatcherTest, TellsWhichPoemsTheReferenceLacks) {
    CVariantTable variants;
    variants.Parse("9918,4F59\n");  // 餘 余
    CPoemMatcher matcher;
    matcher.SetVariants(&variants);
    const std::vector<Piece> reference = {
        // Two poems of a set as one piece, two couplets a line.
        Poem("李世民", {"秦川雄帝宅，函谷壯皇居。綺殿千尋起，離宮百雉餘。", "連甍遙接漢，飛觀迥凌虛。雲日隱層闕，風煙出綺疎。"}),
        Poem("崔融1", {"月生西海上，氣逐邊風壯。"}),
        Poem("不詳", {"大明御宇，至德動天。"}),
        Poem("貫休", {"常思李太白，仙筆驅造化。"}),
        Poem("李隆基", {"西狩觀周俗，南山歷漢宮。"}),
        Poem("李隆基", {"端居臨玉扆，初律啓金商。"}),
        Poem("李隆基", {"孤城分大漠，百戰靜邊塵。"}),
        Poem("李隆基", {"洛陽芳樹映天津，灞岸垂楊窣地新。直為經過行處樂，不知虛度兩京春。"}),
        // A line lost: the paragraph ends at a comma.
        Poem("姚合", {"棲棲滄海一耕人，詔遣江邊作使君。山頂雨餘青到地，", "珍重來章相借分，芳名未識已曾聞。"}),
        Poem("盧仝", {"馳情增悴容，蓄思損精力。玉簟寒淒淒，延想心惻惻。"}),
        Poem("丁澤", {"春風吹綠野，細雨潤青山。"}),
        Poem("丁澤", {"白鶴來何處，青松自歲寒。"}),
        Poem("李白", {"流遠荊門外，來從楚國遊。山隨平野盡，江入大荒流。"}),
        Poem("王應麟", {"人之初，性本善。", "性相近，習相遠。"}),
        Poem("周興嗣", {"天地玄黃，宇宙洪荒。", "日月盈昃，辰宿列張。"}),
    };
    for (const Piece& poem : reference) matcher.AddReference(poem);

    const struct {
        Piece poem;
        PoemVerdict eVerdict;
        const char* pszWhy;
    } cases[] = {
        {Poem("李世民", {"秦川雄帝宅，函谷壯皇居。", "綺殿千尋起，離宮百雉余。"}), PoemVerdict::Exact,
         "part of a longer piece, a variant the table folds"},
        {Poem("李世民", {"連甍遙接漢；飛觀迥凌虛", "雲日隱層闕，風煙出綺疎。"}), PoemVerdict::Exact, "other punctuation"},
        {Poem("崔融", {"月生西海上，氣逐邊風壯。"}), PoemVerdict::Exact, "a namesake's digit"},
        {Poem("李白", {"流遠荊門外，來從楚國遊。", "山隨平野盡（一作「遠」），江入大荒流。"}), PoemVerdict::Exact,
         "an editorial note"},
        {Poem("則天皇后", {"大明御宇，至德動天。"}), PoemVerdict::Loose, "unknown author in the reference"},
        {Poem("僧貫休", {"常思李太白，仙筆驅造化。"}), PoemVerdict::Loose, "one name holds the other"},
        {Poem("明皇帝", {"西狩觀周俗，南山歷漢宮。"}), PoemVerdict::Loose, "another name, three poems agree"},
        {Poem("明皇帝", {"端居臨玉扆，初律啓金商。"}), PoemVerdict::Loose, "another name, three poems agree"},
        {Poem("明皇帝", {"孤城分大漠，百戰靜邊塵。"}), PoemVerdict::Loose, "another name, three poems agree"},
        {Poem("明皇帝", {"洛陽芳樹映天津，灞岸垂楊窣地新。", "直爲經過行處樂，不知虛度兩京春。"}), PoemVerdict::Loose,
         "another name, a character in seven differs"},
        {Poem("盧仝", {"馳情增悴容，蓄思損精力。", "玉簟寒悽悽，延想心惻惻。"}), PoemVerdict::Loose,
         "a substitution that recurs counts once"},
        {Poem("周興嗣", {"天地玄黃，宇宙洪荒。", "日月盈仄，辰宿列張。"}), PoemVerdict::Loose, "a character in four differs"},
        {Poem("盧仝", {"馳情增悴容，蓄思損精力。", "玉簟冷悽悽，延想心惻惻。"}), PoemVerdict::Lacking,
         "two characters in five differ"},
        {Poem("王應麟", {"人之初，性本善。", "性相近，習相近。"}), PoemVerdict::Lacking, "a clause too short to differ"},
        {Poem("姚合", {"棲棲滄海一耕人，詔遣江邊作使君。", "山頂雨餘青到地，濤頭風起白連雲。",
                       "珍重來章相借分，芳名未識已曾聞。"}),
         PoemVerdict::Lacking, "the reference holds it in part"},
        {Poem("李白", {"渡遠荊門外，來從楚國遊。", "山隨平野盡，江入大荒流。"}), PoemVerdict::Lacking,
         "the first line differs"},
        {Poem("張佐", {"春風吹綠野，細雨潤青山。"}), PoemVerdict::Lacking, "another name, only two poems agree"},
        {Poem("張佐", {"白鶴來何處，青松自歲寒。"}), PoemVerdict::Lacking, "another name, only two poems agree"},
        {Poem("王維", {"秦川雄帝宅，函谷壯皇居。"}), PoemVerdict::Lacking, "another author's text"},
        {Poem("德誠", {"千尺絲綸直下垂，一波纔動萬波隨。"}), PoemVerdict::Lacking, "no counterpart"},
        {Poem("佚名", {"。", "（見《全唐詩》）"}), PoemVerdict::Empty, "no text"},
    };
    std::vector<Piece> poems;
    for (const auto& c : cases) poems.push_back(c.poem);
    std::vector<PoemVerdict> verdicts;
    std::string strError;
    ASSERT_TRUE(matcher.Judge(poems, verdicts, strError)) << strError;
    ASSERT_EQ(verdicts.size(), poems.size());
    PoemMatchSummary expected;
    for (size_t i = 0; i < verdicts.size(); ++i) {
        EXPECT_STREQ(Name(verdicts[i]), Name(cases[i].eVerdict)) << cases[i].pszWhy << ": " << cases[i].poem.paragraphs[0];
        ++(cases[i].eVerdict == PoemVerdict::Exact     ? expected.exact
           : cases[i].eVerdict == PoemVerdict::Loose   ? expected.loose
           : cases[i].eVerdict == PoemVerdict::Lacking ? expected.lacking
                                                       : expected.empty);
    }
    EXPECT_EQ(matcher.Summary().exact, expected.exact);
    EXPECT_EQ(matcher.Summary().loose, expected.loose);
    EXPECT_EQ(matcher.Summary().lacking, expected.lacking);
    EXPECT_EQ(matcher.Summary().empty, expected.empty);

    // Without the variant table only identical characters agree.
    CPoemMatcher plain;
    for (const Piece& poem : reference) plain.AddReference(poem);
    ASSERT_TRUE(plain.Judge({cases[0].poem}, verdicts, strError)) << strError;
    EXPECT_EQ(verdicts[0], PoemVerdict::Loose);
}

// Poems that would take too long to compare stop the judgement with a
// message instead of holding the import for hours; nothing is counted.
TEST(PoemMatcherTest, BoundsItsWork) {
    // A long clause nearly matched against a long text: its comparison is
    // refused before it starts.
    CPoemMatcher matcher;
    std::string strHills;
    for (int i = 0; i < 200000; ++i) strHills += "山";
    matcher.AddReference(Poem("甲", {"甲乙丙丁。", strHills}));
    const std::vector<Piece> poems = {Poem("甲", {"甲乙丙丁。", "水" + strHills.substr(0, 29999 * 3)})};
    std::vector<PoemVerdict> verdicts;
    std::string strError;
    EXPECT_FALSE(matcher.Judge(poems, verdicts, strError));
    EXPECT_EQ(strError, "too many or too long poems to compare (more than 4000000000 character comparisons)");
    EXPECT_TRUE(verdicts.empty());
    EXPECT_EQ(matcher.Summary().lacking + matcher.Summary().exact + matcher.Summary().loose, 0u);
}
