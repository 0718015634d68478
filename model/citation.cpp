#include "model/citation.h"

#include <algorithm>
#include <map>

namespace {

bool IsSpace(char16_t u) { return u == u' ' || u == u'\t' || u == u'\u3000' || u == u'\r' || u == u'\n'; }

// Full-width letters, digits and signs as ASCII, ideographic spaces as spaces.
std::u16string Normalised(const std::u16string& s) {
    std::u16string out;
    for (char16_t u : s) {
        if (u >= 0xFF01 && u <= 0xFF5E)
            out.push_back(static_cast<char16_t>(u - 0xFEE0));
        else if (u == u'\u3000')
            out.push_back(u' ');
        else
            out.push_back(u);
    }
    return out;
}

std::u16string Trimmed(const std::u16string& s) {
    size_t a = 0, b = s.size();
    while (a < b && IsSpace(s[a])) ++a;
    while (b > a && IsSpace(s[b - 1])) --b;
    return s.substr(a, b - a);
}

std::u16string WithoutSpaces(const std::u16string& s) {
    std::u16string out;
    for (char16_t u : s)
        if (!IsSpace(u)) out.push_back(u);
    return out;
}

int DigitOf(char16_t u) {
    static const std::u16string kDigits = u"〇一二三四五六七八九";
    if (u == u'零') return 0;
    if (u == u'兩') return 2;
    const size_t n = kDigits.find(u);
    return n == std::u16string::npos ? -1 : static_cast<int>(n);
}

bool IsNumeral(char16_t u) { return DigitOf(u) >= 0 || u == u'十' || u == u'百' || u == u'千'; }

// 五 5, 十二 12, 二百零三 203, 一〇五 105; -1 for anything else.
int64_t ChineseNumber(const std::u16string& s) {
    if (s.empty() || s.size() > 12) return -1;
    const bool bPlain = std::all_of(s.begin(), s.end(), [](char16_t u) { return DigitOf(u) >= 0; });
    int64_t n = 0;
    if (bPlain) {
        for (char16_t u : s) n = n * 10 + DigitOf(u);
        return n;
    }
    int64_t nDigit = -1;
    for (char16_t u : s) {
        const int d = DigitOf(u);
        if (d >= 0) {
            nDigit = d;
            continue;
        }
        const int64_t nUnit = u == u'十' ? 10 : u == u'百' ? 100 : 1000;
        n += (nDigit < 0 ? 1 : nDigit) * nUnit;
        nDigit = -1;
    }
    return n + (nDigit > 0 ? nDigit : 0);
}

}  // namespace

CCitation::CCitation(const CContentsTree& tree) {
    // Book names that two or more categories hold need their category.
    std::map<std::u16string, int> books;
    for (const auto& pCategory : tree.GetRoot().children)
        for (const auto& pBook : pCategory->children) ++books[WithoutSpaces(pBook->name)];
    for (int32_t nSlot = 1; nSlot <= tree.GetRecordCount(); ++nSlot) {
        const ContentsNodeTag* pNode = tree.GetNode(nSlot);
        if (!pNode || pNode->level != 3 || !pNode->parent || !pNode->parent->parent) continue;
        const ContentsNodeTag* pBook = pNode->parent;
        const ContentsNodeTag* pCategory = pBook->parent;
        if (pCategory->parent != &tree.GetRoot()) continue;
        Volume volume;
        volume.nSlot = nSlot;
        volume.pNode = pNode;
        volume.strBook = pBook->name;
        volume.strBookKey = WithoutSpaces(pBook->name);
        volume.strFullBookKey = WithoutSpaces(pCategory->name) + volume.strBookKey;
        volume.strKey = volume.strBookKey + WithoutSpaces(pNode->name);
        volume.strFullKey = WithoutSpaces(pCategory->name) + volume.strKey;
        volume.strCitation = (books[volume.strBookKey] > 1 ? pCategory->name + u" " : u"") + pBook->name + u" " +
                             pNode->name;
        m_volumes.push_back(std::move(volume));
    }
    std::stable_sort(m_volumes.begin(), m_volumes.end(),
                     [](const Volume& a, const Volume& b) { return a.pNode->docID < b.pNode->docID; });
}

const CCitation::Volume* CCitation::VolumeOf(int32_t nPageIndex) const {
    // The last volume starting at or before the page.
    auto it = std::upper_bound(m_volumes.begin(), m_volumes.end(), nPageIndex + 1,
                               [](int32_t nDocID, const Volume& v) { return nDocID < v.pNode->docID; });
    if (it == m_volumes.begin()) return nullptr;
    const Volume& volume = *(it - 1);
    const int64_t nOffset = static_cast<int64_t>(nPageIndex) + 1 - volume.pNode->docID;
    return nOffset >= 0 && nOffset < volume.pNode->docNo ? &volume : nullptr;
}

int32_t CCitation::VolumeSlotOf(int32_t nPageIndex) const {
    const Volume* pVolume = VolumeOf(nPageIndex);
    return pVolume ? pVolume->nSlot : 0;
}

bool CCitation::Locate(int32_t nPageIndex, Place& place) const {
    const Volume* pVolume = VolumeOf(nPageIndex);
    if (!pVolume) return false;
    place.strCategory = pVolume->pNode->parent->parent->name;
    place.strBook = pVolume->strBook;
    place.strVolume = pVolume->pNode->name;
    place.nPageNumber = static_cast<int32_t>(pVolume->pNode->curFileName +
                                             (static_cast<int64_t>(nPageIndex) + 1 - pVolume->pNode->docID));
    return true;
}

std::u16string CCitation::Format(int32_t nPageIndex) const {
    const Volume* pVolume = VolumeOf(nPageIndex);
    if (!pVolume) return u"";
    const int64_t nNumber = pVolume->pNode->curFileName + (static_cast<int64_t>(nPageIndex) + 1 - pVolume->pNode->docID);
    std::u16string strNumber;
    for (char c : std::to_string(nNumber)) strNumber.push_back(static_cast<char16_t>(c));
    return pVolume->strCitation + u" " + strNumber;
}

std::u16string CCitation::Quote(const std::u16string& strText, const std::u16string& strCitation) {
    return u"「" + strText + u"」(" + strCitation + u")";
}

CCitation::Match CCitation::Parse(const std::u16string& strText) const {
    Match match;
    std::u16string s = Trimmed(Normalised(strText));
    // A quotation as Quote makes it: the citation follows the last "」".
    const size_t nQuoteEnd = s.rfind(u'」');
    if (nQuoteEnd != std::u16string::npos) s = Trimmed(s.substr(nQuoteEnd + 1));
    if (!s.empty() && s.front() == u'(') s = Trimmed(s.substr(1));
    if (!s.empty() && s.back() == u')') s = Trimmed(s.substr(0, s.size() - 1));

    // The page number at the end: digits, or Chinese numerals set apart by
    // 第, 頁 or a space; 第 before and 頁 after are dropped.
    size_t nEnd = s.size();
    bool bMarked = false;
    if (nEnd > 0 && (s[nEnd - 1] == u'頁' || s[nEnd - 1] == u'页')) {
        --nEnd;
        bMarked = true;
    }
    size_t nStart = nEnd;
    while (nStart > 0 && s[nStart - 1] >= u'0' && s[nStart - 1] <= u'9') --nStart;
    int64_t nNumber = -1;
    if (nStart < nEnd) {
        if (nEnd - nStart > 9) return match;
        nNumber = 0;
        for (size_t i = nStart; i < nEnd; ++i) nNumber = nNumber * 10 + (s[i] - u'0');
    } else {
        while (nStart > 0 && IsNumeral(s[nStart - 1])) --nStart;
        const bool bSetApart = bMarked || (nStart > 0 && (s[nStart - 1] == u'第' || IsSpace(s[nStart - 1])));
        if (nStart < nEnd && bSetApart) nNumber = ChineseNumber(s.substr(nStart, nEnd - nStart));
    }
    if (nNumber < 0) return match;
    if (nStart > 0 && s[nStart - 1] == u'第') --nStart;
    match.nPageNumber = static_cast<int32_t>(std::min<int64_t>(nNumber, INT32_MAX));
    match.strName = WithoutSpaces(s.substr(0, nStart));
    if (match.strName.empty()) return match;

    std::vector<const Volume*> found;
    for (const Volume& volume : m_volumes)
        if (match.strName == volume.strKey || match.strName == volume.strFullKey) found.push_back(&volume);
    if (found.empty()) {
        // The book (or category and book) the name starts with, the
        // longest that fits: alone, its only volume; else what did not match.
        const Volume* pBook = nullptr;
        size_t nLongest = 0;
        for (const Volume& volume : m_volumes) {
            for (const std::u16string* pKey : {&volume.strBookKey, &volume.strFullBookKey}) {
                if (pKey->size() > nLongest && match.strName.compare(0, pKey->size(), *pKey) == 0) {
                    nLongest = pKey->size();
                    pBook = &volume;
                }
            }
        }
        if (!pBook) {
            match.eOutcome = Outcome::NoBook;
            return match;
        }
        std::vector<const Volume*> bookVolumes;
        for (const Volume& volume : m_volumes)
            if (volume.pNode->parent == pBook->pNode->parent) bookVolumes.push_back(&volume);
        if (match.strName.size() == nLongest && bookVolumes.size() == 1) {
            found.push_back(bookVolumes.front());
        } else {
            match.eOutcome = Outcome::NoVolume;
            match.strBook = pBook->strBook;
            match.strVolume = match.strName.substr(nLongest);
            return match;
        }
    }
    if (found.size() > 1) {
        match.eOutcome = Outcome::Ambiguous;
        for (const Volume* pVolume : found) match.candidates.push_back(pVolume->strCitation);
        return match;
    }
    const Volume& volume = *found.front();
    const ContentsNodeTag& node = *volume.pNode;
    match.nVolumeSlot = volume.nSlot;
    match.strCitation = volume.strCitation;
    match.nFirstPage = node.curFileName;
    match.nLastPage = node.curFileName + node.docNo - 1;
    if (nNumber < match.nFirstPage || nNumber > match.nLastPage) {
        match.eOutcome = Outcome::NoPage;
        return match;
    }
    match.eOutcome = Outcome::Found;
    match.nPageIndex = node.docID - 1 + static_cast<int32_t>(nNumber - node.curFileName);
    return match;
}
