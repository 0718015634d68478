#include "bench/sqlitefts5engine.h"

#include "bench/pageexport.h"
#include "text/codeconverter.h"

#include <sqlite3.h>

CSqliteFts5Engine::~CSqliteFts5Engine() { CSqliteDatabase::Finalize(m_pSelect); }

bool CSqliteFts5Engine::Build(const CPageExport& pages, const std::string& strPath, std::string& strError) {
    m_pPages = &pages;
    CSqliteDatabase::Finalize(m_pSelect);
    m_db.Close();
    const std::vector<char32_t>& chars = pages.Chars();
    const std::vector<ExportRun>& runs = pages.Runs();
    auto text = [&](uint32_t p, std::string& strText) {
        for (size_t r = pages.FirstRun(p); r < pages.EndRun(p); ++r) {
            if (r > pages.FirstRun(p)) strText += " x";
            const ExportRun& run = runs[r];
            for (uint32_t i = 0; i < run.length; ++i) {
                const char32_t c = chars[run.offset + i];
                if (!strText.empty()) strText.push_back(' ');
                if (CPageExport::HasSlot(c))
                    CCodeConverter::AppendUtf8(pages.Fold(c), strText);
                else
                    strText.push_back('x');
            }
        }
    };
    const char* const pszCreate =
        "CREATE VIRTUAL TABLE pages USING fts5(body, tokenize='ascii', content='', columnsize=0, detail=full)";
    return CSqliteDatabase::BuildPagesTable(strPath, pszCreate, pages.PageCount(), text, strError) &&
           Open(strPath, strError);
}

bool CSqliteFts5Engine::Open(const std::string& strPath, std::string& strError) {
    CSqliteDatabase::Finalize(m_pSelect);
    m_strPath = strPath;
    if (!m_db.Open(strPath, false, strError)) return false;
    if (!m_db.Exec("PRAGMA mmap_size=8589934592", strError)) return false;
    m_pSelect = m_db.Prepare("SELECT rowid FROM pages WHERE pages MATCH ?1", strError);
    return m_pSelect != nullptr;
}

uint64_t CSqliteFts5Engine::IndexBytes() const { return CSqliteDatabase::FileBytes(m_strPath); }

std::string CSqliteFts5Engine::Phrase(const std::vector<BenchElement>& elements, size_t nFrom, size_t nTo) const {
    std::string strPhrase = "\"";
    for (size_t i = nFrom; i < nTo; ++i) {
        if (i > nFrom) strPhrase.push_back(' ');
        CCodeConverter::AppendUtf8(m_pPages ? m_pPages->Fold(elements[i].c) : elements[i].c, strPhrase);
    }
    return strPhrase + "\"";
}

BenchTranslation CSqliteFts5Engine::Translate(const CBenchQuery& query) const {
    BenchTranslation translation;
    std::vector<std::string> parts;
    for (const BenchPattern& pattern : query.m_patterns) {
        // The keyword's phrases (runs of characters between "?" and "*"),
        // and the places that may stand between them.
        std::vector<std::string> phrases;
        size_t nBetween = 0;
        for (size_t s = 0; s < pattern.segments.size(); ++s) {
            const auto& segment = pattern.segments[s];
            if (s > 0) nBetween += 300;
            size_t i = 0;
            size_t nPendingAny = 0;
            while (i < segment.size()) {
                if (segment[i].any) {
                    ++nPendingAny;
                    ++i;
                    continue;
                }
                size_t j = i;
                while (j < segment.size() && !segment[j].any) ++j;
                if (!phrases.empty()) nBetween += nPendingAny;
                nPendingAny = 0;
                phrases.push_back(Phrase(segment, i, j));
                i = j;
            }
        }
        if (phrases.empty()) {
            parts.push_back("\"\"");
            continue;
        }
        if (phrases.size() == 1) {
            parts.push_back(phrases[0]);
            continue;
        }
        std::string strNear = "NEAR(";
        for (size_t i = 0; i < phrases.size(); ++i) strNear += (i ? " " : "") + phrases[i];
        strNear += ", " + std::to_string(nBetween) + ")";
        parts.push_back(strNear);
        translation.exact = false;
        translation.why = pattern.segments.size() > 1
                              ? "\"*\" as NEAR: any order, up to N tokens, across paragraphs"
                              : "\"?\" as NEAR: any order, 0 to N tokens between";
    }
    if (parts.size() == 1) {
        translation.text = parts[0];
    } else {
        for (size_t i = 0; i < parts.size(); ++i)
            translation.text += (i ? (query.m_bOr ? " OR " : " AND ") : "") + parts[i];
    }
    return translation;
}

bool CSqliteFts5Engine::Run(const CBenchQuery& query, std::string& strError) {
    std::vector<uint32_t>& pages = m_pages;
    pages.clear();
    const std::string strMatch = Translate(query).text;
    sqlite3_bind_text(m_pSelect, 1, strMatch.data(), static_cast<int>(strMatch.size()), SQLITE_TRANSIENT);
    int nStep;
    while ((nStep = sqlite3_step(m_pSelect)) == SQLITE_ROW)
        pages.push_back(static_cast<uint32_t>(sqlite3_column_int64(m_pSelect, 0)));
    sqlite3_reset(m_pSelect);
    if (nStep != SQLITE_DONE) {
        strError = m_db.Error("MATCH '" + strMatch + "' failed");
        return false;
    }
    return true;
}

void CSqliteFts5Engine::LastResult(std::vector<uint32_t>& pages, std::vector<uint32_t>& hits) const {
    pages = m_pages;
    hits.clear();
}
