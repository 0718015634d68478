#include "support/randomcorpus.h"

#include "builder/corpuswriter.h"
#include "index/index.h"
#include "text/codeconverter.h"

#include <algorithm>

namespace {

constexpr uint32_t kBreak = 301;

const char32_t kCommon[] = U"之不人中天下明月山";
// With Japanese and Chinese forms of one character (桜 櫻 樱), and 新字体
// that stand for several 旧字体 (弁 辨 辯 瓣), for tests with the groups a
// build makes by default.
const char32_t kRare[] = U"國国囯學学\U00027944\U0002000B，。\u3000aの桜櫻樱讀読读弁辨辯瓣";
// Only characters of three UTF-8 bytes, for tests of the display, whose "?"
// stands for three bytes.
const char32_t kRareThreeBytes[] = U"國国囯學学，。\u3000の桜櫻樱讀読读弁辨辯瓣";

}  // namespace

const char* const CRandomCorpus::Variants = "56FD,570B,56EF\n5B66,5B78\n27944,2000B\n4E0B,4E0D\n";

CRandomCorpus::CRandomCorpus(unsigned nSeed, bool bThreeByteOnly, const std::string& strVariants)
    : m_rng(nSeed), m_bThreeByteOnly(bThreeByteOnly) {
    m_variants.Parse(strVariants);
    m_source.categories.resize(1);
    m_source.categories[0].name = "類";
    for (int b = 0; b < 2; ++b) {
        SourceBook book;
        book.name = "書" + std::to_string(b);
        for (int v = 0; v < 6; ++v) {
            SourceVolume volume;
            volume.name = "卷" + std::to_string(v);
            int nPages = 10 + static_cast<int>(m_rng() % 40);
            for (int p = 0; p < nPages; ++p) {
                m_pages.push_back(RandomPage());
                volume.pages.push_back({p + 1, SourceText(m_pages.back()), ""});
            }
            book.volumes.push_back(volume);
        }
        m_source.categories[0].books.push_back(book);
    }
}

char32_t CRandomCorpus::RandomChar(std::mt19937& rng) const {
    if (rng() % 5 != 0) return kCommon[rng() % (std::size(kCommon) - 1)];
    if (m_bThreeByteOnly) return kRareThreeBytes[rng() % (std::size(kRareThreeBytes) - 1)];
    return kRare[rng() % (std::size(kRare) - 1)];
}

std::u32string CRandomCorpus::RandomText(int nMax) {
    std::u32string s;
    int n = static_cast<int>(m_rng() % static_cast<unsigned>(nMax + 1));
    for (int i = 0; i < n; ++i) s.push_back(RandomChar(m_rng));
    return s;
}

Page CRandomCorpus::RandomPage() {
    Page page;
    // Now and then a long page, so that positions need three-byte numbers
    // and position data runs past 255 bytes.
    int nLines = m_rng() % 10 == 0 ? 60 + static_cast<int>(m_rng() % 20) : 1 + static_cast<int>(m_rng() % 8);
    uint32_t nNext = 0;
    for (int l = 0; l < nLines; ++l) {
        Line line;
        line.heading = m_rng() % 6 == 0;
        int nNotes = m_rng() % 3 == 0 ? 1 + static_cast<int>(m_rng() % 2) : 0;
        for (int r = 0; r <= 2 * nNotes; ++r) {
            Run run;
            run.annotation = r % 2 == 1;
            run.text = RandomText(run.annotation ? 12 : 40);
            if (run.annotation && run.text.empty()) run.text.assign(1, U'之');
            line.runs.push_back(run);
        }
        if (l > 0) nNext += kBreak;
        for (size_t r = 0; r < line.runs.size(); ++r) {
            if (r > 0) nNext += kBreak;
            for (char32_t c : line.runs[r].text) page.chars[nNext++] = {c, line.runs[r].annotation};
        }
        page.lines.push_back(line);
    }
    return page;
}

std::string CRandomCorpus::SourceText(const Page& page) {
    std::u32string s;
    for (const Line& line : page.lines) {
        if (line.heading) s += U"# ";
        for (const Run& run : line.runs) s += run.annotation ? U"{" + run.text + U"}" : run.text;
        s += U"\n";
    }
    std::string out;
    for (char32_t c : s) CCodeConverter::AppendUtf8(c, out);
    return out;
}

std::u16string CRandomCorpus::RandomPattern(std::mt19937& rng, bool bGaps) const {
    std::u32string s;
    if (rng() % 2 == 0) {
        int n = 1 + static_cast<int>(rng() % 4);
        for (int i = 0; i < n; ++i) s.push_back(RandomChar(rng));
    } else {
        const Page& page = m_pages[rng() % m_pages.size()];
        const Line& line = page.lines[rng() % page.lines.size()];
        const Run& run = line.runs[rng() % line.runs.size()];
        if (run.text.empty()) return u"之";
        size_t nFrom = rng() % run.text.size();
        size_t nLength = 1 + rng() % std::min<size_t>(8, run.text.size() - nFrom);
        s = run.text.substr(nFrom, nLength);
    }
    std::u32string out;
    if (bGaps && rng() % 8 == 0) out.push_back(U'*');
    for (char32_t c : s) {
        switch (rng() % 10) {
        case 0: out.push_back(U'?'); break;
        case 1:
            out.push_back(c);
            if (bGaps) out.push_back(U'*');
            break;
        case 2: out.push_back(bGaps ? U'？' : U'?'); break;
        default: out.push_back(c); break;
        }
    }
    if (bGaps && rng() % 6 == 0) out.push_back(U'*');
    std::u16string w;
    for (char32_t c : out) CCodeConverter::AppendUtf16(c, w);
    return w;
}

RefPattern CompileReference(const std::u16string& strPattern) {
    RefPattern pattern;
    if (strPattern.size() > CIndex::MaxPatternUnits) return pattern;
    std::vector<RefPattern::Term> segment;
    for (char32_t c : CCodeConverter::Utf16ToUtf32(strPattern)) {
        if (c == U'*') {
            if (!segment.empty()) pattern.segments.push_back(segment);
            segment.clear();
        } else if (c == U'?' || c == U'？') {
            ++pattern.length;
        } else if (CCodeConverter::IndexSlot(c) >= 0) {
            segment.push_back({c, pattern.length++});
        }
    }
    if (!segment.empty()) pattern.segments.push_back(segment);
    pattern.valid = !pattern.segments.empty();
    return pattern;
}

CScanReference::CScanReference(const std::vector<Page>& pages, const CVariantTable& variants) : m_variants(variants) {
    for (int nScope = 0; nScope < 3; ++nScope) {
        const IndexScope eScope = static_cast<IndexScope>(nScope);
        for (const Page& page : pages) {
            ScopedPage scoped;
            for (const auto& [nPos, value] : page.chars) {
                if (eScope != IndexScope::WholeText && (eScope == IndexScope::Annotations) != value.second) continue;
                scoped.at[nPos] = value.first;
                scoped.chars.emplace_back(nPos, value.first);
            }
            m_scoped[nScope].push_back(std::move(scoped));
        }
    }
}

bool CScanReference::Matches(char32_t cPattern, char32_t cText, bool bVariants) const {
    int32_t nSlot = -1;
    if (bVariants && m_variants.MapVariantSlot(cPattern, nSlot)) {
        int32_t nTextSlot = -1;
        return m_variants.MapVariantSlot(cText, nTextSlot) && nTextSlot == nSlot;
    }
    return cPattern == cText;
}

std::vector<std::vector<uint64_t>> CScanReference::SegmentValues(const ScopedPage& page, const RefPattern& pattern,
                                                                 bool bVariants) const {
    std::vector<std::vector<uint64_t>> values;
    for (const auto& segment : pattern.segments) {
        std::vector<uint64_t> v;
        const uint32_t nShift0 = pattern.length - 1 - segment[0].offset;
        for (const auto& [nPos, c] : page.chars) {
            if (!Matches(segment[0].c, c, bVariants)) continue;
            uint64_t nValue = uint64_t{nPos} + nShift0;
            bool bAll = true;
            for (size_t t = 1; t < segment.size() && bAll; ++t) {
                uint64_t nShift = pattern.length - 1 - segment[t].offset;
                auto it = nValue >= nShift ? page.at.find(static_cast<uint32_t>(nValue - nShift)) : page.at.end();
                bAll = it != page.at.end() && Matches(segment[t].c, it->second, bVariants);
            }
            if (bAll) v.push_back(nValue);
        }
        values.push_back(v);
    }
    return values;
}

uint32_t CScanReference::CountOnPage(const ScopedPage& page, const RefPattern& pattern, bool bVariants) const {
    std::vector<std::vector<uint64_t>> values = SegmentValues(page, pattern, bVariants);
    // Keep the values from which the later segments can follow.
    for (size_t s = values.size() - 1; s-- > 0;) {
        std::vector<uint64_t> kept;
        for (uint64_t a : values[s]) {
            auto it = std::lower_bound(values[s + 1].begin(), values[s + 1].end(), a);
            if (it != values[s + 1].end() && *it - a <= CIndex::MaxGap) kept.push_back(a);
        }
        values[s] = kept;
    }
    return static_cast<uint32_t>(values[0].size());
}

std::map<uint32_t, uint32_t> CScanReference::Search(const std::u16string& strPattern, IndexScope eScope, bool bVariants) const {
    std::map<uint32_t, uint32_t> found;
    RefPattern pattern = CompileReference(strPattern);
    if (!pattern.valid) return found;
    const std::vector<ScopedPage>& pages = m_scoped[static_cast<int>(eScope)];
    for (uint32_t p = 0; p < pages.size(); ++p) {
        uint32_t n = CountOnPage(pages[p], pattern, bVariants);
        if (n) found[p] = n;
    }
    return found;
}

std::map<uint32_t, uint32_t> CScanReference::SearchNonOverlapping(const std::u16string& strPattern, IndexScope eScope,
                                                                  bool bVariants) const {
    std::map<uint32_t, uint32_t> found;
    RefPattern pattern = CompileReference(strPattern);
    if (!pattern.valid || pattern.segments.size() != 1) return found;
    const std::vector<RefPattern::Term>& terms = pattern.segments[0];
    // An occurrence spans its first to its last character; "?" before the
    // first or after the last character of a keyword mark nothing.
    const uint64_t nFirst = pattern.length - 1 - terms.front().offset;
    const uint64_t nLast = pattern.length - 1 - terms.back().offset;
    const std::vector<ScopedPage>& pages = m_scoped[static_cast<int>(eScope)];
    for (uint32_t p = 0; p < pages.size(); ++p) {
        uint32_t n = 0;
        uint64_t nFree = 0;  // first position a new occurrence may start at
        const std::vector<std::vector<uint64_t>> values = SegmentValues(pages[p], pattern, bVariants);
        for (uint64_t v : values[0]) {
            if (v - nFirst < nFree) continue;
            ++n;
            nFree = v - nLast + 1;
        }
        if (n) found[p] = n;
    }
    return found;
}

bool CRandomCorpus::Write(const std::string& strFolder, std::string& strError, uint64_t nShuffleSeed) const {
    CCorpusWriter writer;
    writer.SetShuffleSeed(nShuffleSeed);
    return writer.Write(m_source, m_variants, strFolder, strError);
}
