#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One record of the catalogue "vmk.dir": a category (level 1), book (2) or
// volume (3) and the pages it covers.
//
// File: records of 216 bytes, no header, little-endian:
//   name:uint16[100]   UTF-16 display name, ended by a zero unit
//   level:int32        1 category, 2 book, 3 volume
//   docID:int32        1-based page index + 1 of the node's first page
//   docNo:int32        number of pages covered: docID .. docID + docNo - 1
//   curFileName:uint16 page number (in the file name) of the first page
//   padding:uint16
// Records come in outline order: a record of level L > 1 belongs to the
// nearest earlier record of level L - 1.
struct CatalogRecord {
    std::u16string name;
    int32_t level = 0;
    int32_t docID = 0;
    int32_t docNo = 0;
    uint16_t curFileName = 0;
};

class CCatalog {
public:
    static constexpr size_t RecordSize = 216;
    static constexpr size_t NameUnits = 100;
    // The panel's table holds slots 1 to 9,999; reading stops there.
    static constexpr size_t MaxRecords = 9999;

    // Reads strPath. False (with strError naming the file and the reason)
    // when it cannot be opened or read. A last record shorter than 216 bytes
    // is read as far as it goes, the rest taken as zeros; a name without a
    // zero unit ends at its 100th unit; records past MaxRecords are ignored
    // (bTruncated tells).
    static bool Read(const std::string& strPath, std::vector<CatalogRecord>& records, std::string& strError,
                     bool* pbTruncated = nullptr);
    // Decodes records from bytes (the file's contents), as Read does.
    static std::vector<CatalogRecord> Parse(const std::string& strBytes, bool* pbTruncated = nullptr);
    // Encodes records; names longer than 99 units are cut.
    static std::string Format(const std::vector<CatalogRecord>& records);
};
