#include "model/pagedigest.h"

#include "corpus/filelist.h"
#include "corpus/pagemarkup.h"
#include "model/contentstree.h"

#include <vector>

namespace {

constexpr uint64_t kOffsetBasis = 14695981039346656037ull;
constexpr uint64_t kPrime = 1099511628211ull;

void Mix(uint64_t& nHash, const void* pBytes, size_t nLength) {
    const auto* p = static_cast<const unsigned char*>(pBytes);
    for (size_t i = 0; i < nLength; ++i) {
        nHash ^= p[i];
        nHash *= kPrime;
    }
}

// Little-endian, so that the digest does not depend on the machine.
void MixNumber(uint64_t& nHash, uint32_t nValue) {
    const unsigned char bytes[4] = {static_cast<unsigned char>(nValue), static_cast<unsigned char>(nValue >> 8),
                                    static_cast<unsigned char>(nValue >> 16), static_cast<unsigned char>(nValue >> 24)};
    Mix(nHash, bytes, sizeof bytes);
}

std::string Hex(uint64_t nHash) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out(CPageDigest::HexDigits, '0');
    for (size_t i = 0; i < CPageDigest::HexDigits; ++i) out[CPageDigest::HexDigits - 1 - i] = kDigits[(nHash >> (4 * i)) & 0xF];
    return out;
}

}  // namespace

std::string CPageDigest::Of(const std::string& strBytes) {
    uint64_t nHash = kOffsetBasis;
    Mix(nHash, strBytes.data(), strBytes.size());
    return Hex(nHash);
}

bool CPageDigest::OfPage(CFileList& fileList, int32_t nPageIndex, std::string& strDigest) {
    std::string strPage;
    int nParity = 0;
    if (nPageIndex < 0 || nPageIndex >= fileList.GetPageCount() ||
        !fileList.ReadPageForRendering(nPageIndex, strPage, nParity))
        return false;
    std::vector<HTMLNode> nodes;
    CPageMarkup::ParsePage(strPage, nodes);
    const size_t nCell = 1 + static_cast<size_t>(nParity & 1);
    strDigest = nCell < nodes.size() && !nodes[nCell].m_pText.empty() ? Of(nodes[nCell].m_pText) : Of(strPage);
    return true;
}

std::string CPageDigest::OfCatalogue(const CContentsTree& tree) {
    uint64_t nHash = kOffsetBasis;
    for (int32_t nSlot = 1; nSlot <= tree.GetRecordCount(); ++nSlot) {
        const CatalogRecord* pRecord = tree.GetRecord(nSlot);
        if (!pRecord) continue;
        MixNumber(nHash, static_cast<uint32_t>(pRecord->name.size()));
        for (char16_t u : pRecord->name) {
            const unsigned char bytes[2] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8)};
            Mix(nHash, bytes, sizeof bytes);
        }
        MixNumber(nHash, static_cast<uint32_t>(pRecord->level));
        MixNumber(nHash, static_cast<uint32_t>(pRecord->docID));
        MixNumber(nHash, static_cast<uint32_t>(pRecord->docNo));
        MixNumber(nHash, pRecord->curFileName);
    }
    return Hex(nHash);
}

bool CPageDigest::IsDigest(const std::string& strText) {
    if (strText.size() != HexDigits) return false;
    for (char c : strText)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}
