#include "model/catalogueloader.h"

#include "corpus/catalog.h"

#include <filesystem>
#include <system_error>

bool CCatalogueLoader::Load(const std::string& strPath, CContentsTree& tree, std::string& strError) {
    m_problems.clear();
    tree.Clear();
    std::vector<CatalogRecord> records;
    bool bTruncated = false;
    if (!CCatalog::Read(strPath, records, strError, &bTruncated)) return false;

    // A file cut after the table's last slot is not short: its end was
    // never read.
    std::error_code ec;
    const uintmax_t nBytes = std::filesystem::file_size(strPath, ec);
    if (bTruncated)
        m_problems.push_back({Problem::TooManyRecords});
    else if (!ec && nBytes % CCatalog::RecordSize != 0)
        m_problems.push_back({Problem::ShortLastRecord, 0, 0, nBytes, nBytes % CCatalog::RecordSize});

    for (const CatalogRecord& record : records) {
        const CContentsTree::AddResult result = tree.AddCatalogueRecord(record);
        if (result == CContentsTree::TableFull) break;
        const int32_t nSlot = tree.GetRecordCount();
        if (record.name.size() >= CCatalog::NameUnits)
            m_problems.push_back({Problem::NameWithoutEnd, nSlot, record.level});
        if (result == CContentsTree::AddedWithoutNode)
            m_problems.push_back({Problem::LevelOutsideTree, nSlot, record.level});
        else if (result == CContentsTree::AddedWithoutParent)
            m_problems.push_back({Problem::NoParent, nSlot, record.level});
    }
    return true;
}
