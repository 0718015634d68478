#include "corpus/catalog.h"

#include "platform/fileexception.h"
#include "platform/readonlyfile.h"

#include <algorithm>

namespace {

uint32_t Get(const unsigned char* p, int nBytes) {
    uint32_t n = 0;
    for (int i = nBytes - 1; i >= 0; --i) n = n << 8 | p[i];
    return n;
}

void Put(std::string& out, uint32_t n, int nBytes) {
    for (int i = 0; i < nBytes; ++i) out.push_back(static_cast<char>((n >> (8 * i)) & 0xFF));
}

}  // namespace

std::vector<CatalogRecord> CCatalog::Parse(const std::string& strBytes, bool* pbTruncated) {
    std::vector<CatalogRecord> records;
    if (pbTruncated) *pbTruncated = false;
    for (size_t nAt = 0; nAt < strBytes.size(); nAt += RecordSize) {
        if (records.size() == MaxRecords) {
            if (pbTruncated) *pbTruncated = true;
            break;
        }
        unsigned char raw[RecordSize] = {};
        size_t nHave = std::min(RecordSize, strBytes.size() - nAt);
        std::copy_n(reinterpret_cast<const unsigned char*>(strBytes.data()) + nAt, nHave, raw);
        CatalogRecord record;
        for (size_t i = 0; i < NameUnits; ++i) {
            auto u = static_cast<char16_t>(Get(raw + 2 * i, 2));
            if (u == 0) break;
            record.name.push_back(u);
        }
        record.level = static_cast<int32_t>(Get(raw + 200, 4));
        record.docID = static_cast<int32_t>(Get(raw + 204, 4));
        record.docNo = static_cast<int32_t>(Get(raw + 208, 4));
        record.curFileName = static_cast<uint16_t>(Get(raw + 212, 2));
        records.push_back(std::move(record));
    }
    return records;
}

bool CCatalog::Read(const std::string& strPath, std::vector<CatalogRecord>& records, std::string& strError,
                    bool* pbTruncated) {
    try {
        // One record more than the table holds tells Parse that it was cut.
        CReadOnlyFile file;
        file.Open(strPath);
        std::string strBytes((MaxRecords + 1) * RecordSize, '\0');
        strBytes.resize(file.Read(strBytes.data(), strBytes.size()));
        records = Parse(strBytes, pbTruncated);
        return true;
    } catch (const CFileException& e) {
        strError = e.what();
        return false;
    }
}

std::string CCatalog::Format(const std::vector<CatalogRecord>& records) {
    std::string out;
    out.reserve(records.size() * RecordSize);
    for (const CatalogRecord& record : records) {
        size_t nUnits = std::min(record.name.size(), NameUnits - 1);
        for (size_t i = 0; i < NameUnits; ++i) Put(out, i < nUnits ? record.name[i] : 0, 2);
        Put(out, static_cast<uint32_t>(record.level), 4);
        Put(out, static_cast<uint32_t>(record.docID), 4);
        Put(out, static_cast<uint32_t>(record.docNo), 4);
        Put(out, record.curFileName, 2);
        Put(out, 0, 2);
    }
    return out;
}
