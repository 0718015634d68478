#include "bench/xapianengine.h"

#include "bench/pageexport.h"
#include "text/codeconverter.h"

#include <filesystem>

namespace fs = std::filesystem;

std::string CXapianEngine::Term(char32_t c) const {
    std::string strTerm;
    CCodeConverter::AppendUtf8(m_pPages ? m_pPages->Fold(c) : c, strTerm);
    return strTerm;
}

bool CXapianEngine::Build(const CPageExport& pages, const std::string& strFolder, std::string& strError) {
    m_pPages = &pages;
    m_pDb.reset();
    const std::string strScratch = strFolder + ".building";
    std::error_code ec;
    fs::remove_all(strScratch, ec);
    fs::remove_all(strFolder, ec);
    try {
        {
            Xapian::WritableDatabase db(strScratch, Xapian::DB_CREATE_OR_OVERWRITE);
            const std::vector<char32_t>& chars = pages.Chars();
            const std::vector<ExportRun>& runs = pages.Runs();
            for (uint32_t p = 0; p < pages.PageCount(); ++p) {
                Xapian::Document document;
                for (size_t r = pages.FirstRun(p); r < pages.EndRun(p); ++r) {
                    const ExportRun& run = runs[r];
                    for (uint32_t i = 0; i < run.length; ++i) {
                        const char32_t c = chars[run.offset + i];
                        if (CPageExport::HasSlot(c)) document.add_posting(Term(c), run.position + i + 1);
                    }
                }
                db.replace_document(p + 1, document);
            }
            db.commit();
            db.compact(strFolder);
        }
        fs::remove_all(strScratch, ec);
    } catch (const Xapian::Error& e) {
        strError = strFolder + ": " + e.get_description();
        return false;
    }
    return Open(strFolder, strError);
}

bool CXapianEngine::Open(const std::string& strFolder, std::string& strError) {
    m_strFolder = strFolder;
    try {
        m_pDb = std::make_unique<Xapian::Database>(strFolder);
    } catch (const Xapian::Error& e) {
        strError = strFolder + ": " + e.get_description();
        return false;
    }
    return true;
}

uint64_t CXapianEngine::IndexBytes() const {
    uint64_t n = 0;
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(m_strFolder, ec))
        if (entry.is_regular_file(ec)) n += entry.file_size(ec);
    return n;
}

Xapian::Query CXapianEngine::MakeQuery(const CBenchQuery& query, BenchTranslation* pTranslation) const {
    std::vector<Xapian::Query> keywordQueries;
    std::string strText;
    for (const BenchPattern& pattern : query.m_patterns) {
        // Each segment's characters and its places from first to last
        // character ("?" at either end impose nothing).
        std::vector<std::vector<std::string>> segmentTerms;
        std::vector<size_t> spans;
        bool bAnyInside = false;
        for (const auto& segment : pattern.segments) {
            std::vector<std::string> terms;
            for (const BenchElement& element : segment)
                if (!element.any) terms.push_back(Term(element.c));
            segmentTerms.push_back(terms);
            spans.push_back(BenchPattern::Span(segment));
            if (spans.back() != terms.size()) bAnyInside = true;
        }
        auto phrase = [](const std::vector<std::string>& terms, size_t nWindow) {
            if (terms.size() == 1) return Xapian::Query(terms[0]);
            return Xapian::Query(Xapian::Query::OP_PHRASE, terms.begin(), terms.end(), static_cast<Xapian::termcount>(nWindow));
        };
        auto describe = [](const std::vector<std::string>& terms, size_t nWindow) {
            if (terms.size() == 1) return terms[0];
            std::string s = "PHRASE(";
            for (size_t i = 0; i < terms.size(); ++i) s += (i ? " " : "") + terms[i];
            return s + (nWindow != terms.size() ? ", window " + std::to_string(nWindow) : std::string()) + ")";
        };
        std::string strKeyword;
        if (segmentTerms.empty()) {
            keywordQueries.push_back(Xapian::Query::MatchNothing);
            strKeyword = "nothing";
        } else if (segmentTerms.size() == 1) {
            keywordQueries.push_back(phrase(segmentTerms[0], spans[0]));
            strKeyword = describe(segmentTerms[0], spans[0]);
            if (bAnyInside && pTranslation) {
                pTranslation->exact = false;
                pTranslation->why = "\"?\" as a phrase window: fewer characters may stand between";
            }
        } else {
            // All characters in order within the segments' places plus 300
            // for each "*".
            std::vector<std::string> all;
            size_t nWindow = 0;
            for (size_t s = 0; s < segmentTerms.size(); ++s) {
                all.insert(all.end(), segmentTerms[s].begin(), segmentTerms[s].end());
                nWindow += spans[s] + (s ? 300 : 0);
            }
            bool bSingles = !bAnyInside;
            for (const auto& terms : segmentTerms) bSingles = bSingles && terms.size() == 1;
            if (bSingles) {
                keywordQueries.push_back(phrase(all, nWindow));
                strKeyword = describe(all, nWindow);
            } else {
                std::vector<Xapian::Query> parts;
                for (size_t s = 0; s < segmentTerms.size(); ++s) {
                    parts.push_back(phrase(segmentTerms[s], spans[s]));
                    strKeyword += describe(segmentTerms[s], spans[s]) + " AND ";
                }
                parts.push_back(phrase(all, nWindow));
                strKeyword += describe(all, nWindow);
                keywordQueries.push_back(Xapian::Query(Xapian::Query::OP_AND, parts.begin(), parts.end()));
                if (pTranslation) {
                    pTranslation->exact = false;
                    pTranslation->why = "\"*\" between phrases: the ordered window need not use the same occurrences";
                }
            }
        }
        strText += (strText.empty() ? "" : (query.m_bOr ? " OR " : " AND ")) + strKeyword;
    }
    if (pTranslation) pTranslation->text = strText;
    if (keywordQueries.size() == 1) return keywordQueries[0];
    return Xapian::Query(query.m_bOr ? Xapian::Query::OP_OR : Xapian::Query::OP_AND, keywordQueries.begin(),
                         keywordQueries.end());
}

BenchTranslation CXapianEngine::Translate(const CBenchQuery& query) const {
    BenchTranslation translation;
    MakeQuery(query, &translation);
    return translation;
}

bool CXapianEngine::Run(const CBenchQuery& query, std::string& strError) {
    std::vector<uint32_t>& pages = m_pages;
    pages.clear();
    try {
        Xapian::Enquire enquire(*m_pDb);
        enquire.set_query(MakeQuery(query, nullptr));
        enquire.set_weighting_scheme(Xapian::BoolWeight());
        enquire.set_docid_order(Xapian::Enquire::ASCENDING);
        const Xapian::MSet mset = enquire.get_mset(0, m_pDb->get_doccount());
        pages.reserve(mset.size());
        for (auto it = mset.begin(); it != mset.end(); ++it) pages.push_back(*it - 1);
    } catch (const Xapian::Error& e) {
        strError = m_strFolder + ": " + e.get_description();
        return false;
    }
    return true;
}

void CXapianEngine::LastResult(std::vector<uint32_t>& pages, std::vector<uint32_t>& hits) const {
    pages = m_pages;
    hits.clear();
}
