#include "bench/readerfigures.h"

#include "bench/benchrun.h"
#include "bench/benchtimer.h"
#include "bench/ourengine.h"
#include "bench/queryoutcome.h"
#include "model/hitparts.h"
#include "model/searchforms.h"
#include "text/codeconverter.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace {

// The text of one list row as the result list shows it.
std::string RowText(const SearchNodeTag& row) {
    return CCodeConverter::Utf16ToUtf8(row.category) + "\t" + CCodeConverter::Utf16ToUtf8(row.bookName) + "\t" +
           CCodeConverter::Utf16ToUtf8(row.volumeName) + "\t" + std::to_string(row.pageNo) + "\t" +
           std::to_string(row.hitCount);
}

}  // namespace

FirstListPage CReaderFigures::MeasureFirstListPage(COurEngine& ours, const std::string& strKeywords, bool bOr) {
    FirstListPage result;
    result.keywords = strKeywords;
    result.bOr = bOr;
    const ContentsNodeTag* pRange = ours.Tree().FindRangeNode(1);
    if (!pRange) return result;
    CResultList list;
    std::vector<std::string> texts;
    auto search = [&]() {
        std::u16string strWords = CCodeConverter::Utf8ToUtf16(strKeywords);
        if (bOr)
            ours.Index().SearchOr(strWords, true, true);
        else
            ours.Index().SearchAnd(strWords, true, true);
    };
    const std::vector<std::function<bool()>> works = {
        [&]() {
            search();
            list.BuildResults(*pRange, ours.Index().GetResultPages(), ours.Index().GetResultHits());
            size_t nBegin = 0, nEnd = 0;
            texts.clear();
            if (list.GetListPageRows(1, nBegin, nEnd))
                for (size_t i = nBegin; i < nEnd; ++i) texts.push_back(RowText(list.GetRow(i)));
            return true;
        },
        [&]() {
            search();
            return true;
        }};
    std::vector<std::vector<double>> samples;
    CBenchTimer::Interleave(works, CBenchRun::QueryRounds, CBenchRun::QuerySlice, samples);
    result.seconds = CBenchTimer::Median(samples[0]);
    result.searchSeconds = CBenchTimer::Median(samples[1]);
    result.pages = list.GetRowCount();
    return result;
}

FirstListPage CReaderFigures::MeasureFirstSearch(COurEngine& ours, const std::string& strKeywords) {
    FirstListPage result;
    result.keywords = strKeywords;
    result.bFirstSearch = true;
    const ContentsNodeTag* pRange = ours.Tree().FindRangeNode(1);
    if (!pRange) return result;
    std::vector<double> seconds;
    std::string strError;
    for (size_t nRound = 0; nRound < QueryOutcome::FirstRounds; ++nRound) {
        if (!ours.Reopen(strError)) return result;
        CResultList list;
        CSearchForms forms;
        CHitParts parts;
        std::vector<std::string> texts;
        const double dStart = CBenchTimer::Now();
        std::u16string strWords = CCodeConverter::Utf8ToUtf16(strKeywords);
        const std::u16string strTyped = strWords;
        ours.Index().SearchAnd(strWords, true, true);
        const double dSearch = CBenchTimer::Now() - dStart;
        list.BuildResults(*pRange, ours.Index().GetResultPages(), ours.Index().GetResultHits());
        forms.Build(ours.Index(), strTyped, true, *pRange, CSearchForms::Counts::WhereShown);
        parts.Compute(ours.Index(), ours.Folder(), TextPart::WholeText, strTyped, true, list.GetPageIndexes());
        size_t nBegin = 0, nEnd = 0;
        if (list.GetListPageRows(1, nBegin, nEnd))
            for (size_t i = nBegin; i < nEnd; ++i)
                texts.push_back(RowText(list.GetRow(i)) + "\t" +
                                CHitParts::Name(parts.PartsOf(static_cast<uint32_t>(list.GetRow(i).pageIndex))));
        seconds.push_back(CBenchTimer::Now() - dStart);
        result.searchSeconds += dSearch / QueryOutcome::FirstRounds;
        result.pages = list.GetRowCount();
    }
    result.seconds = CBenchTimer::Median(seconds);
    return result;
}

RenderFigures CReaderFigures::MeasureRendering(COurEngine& ours, const std::vector<CBenchQuery>& queries,
                                               const std::vector<std::vector<uint32_t>>& resultPages) {
    constexpr size_t PagesPerQuery = 25;
    std::vector<std::pair<uint32_t, std::u16string>> work;
    for (size_t q = 0; q < queries.size(); ++q) {
        const std::vector<uint32_t>& pages = resultPages[q];
        if (pages.empty()) continue;
        const size_t nTake = std::min(PagesPerQuery, pages.size());
        for (size_t i = 0; i < nTake; ++i) work.emplace_back(pages[i * pages.size() / nTake], queries[q].Keywords());
    }
    RenderFigures figures;
    figures.pairs = work.size();
    std::string strOut;
    for (const auto& item : work)
        figures.marks += static_cast<uint64_t>(std::max(0, ours.Index().RenderPage(static_cast<int32_t>(item.first),
                                                                                   strOut, item.second,
                                                                                   TextPart::WholeText, true)));
    std::vector<double> samples;
    for (int nPass = 0; nPass < 3; ++nPass) {
        for (const auto& item : work) {
            const double dStart = CBenchTimer::Now();
            ours.Index().RenderPage(static_cast<int32_t>(item.first), strOut, item.second, TextPart::WholeText, true);
            samples.push_back(CBenchTimer::Now() - dStart);
        }
    }
    if (samples.empty()) return figures;
    figures.calls = samples.size();
    std::sort(samples.begin(), samples.end());
    figures.median = CBenchTimer::Median(samples);
    figures.p90 = samples[samples.size() * 9 / 10];
    figures.max = samples.back();
    return figures;
}
