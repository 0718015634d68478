#include "import/piecereader.h"

#include "import/packagefile.h"
#include "import/textcleaner.h"

#include <nlohmann/json.hpp>

#include <unordered_set>

using json = nlohmann::json;

namespace {

// The member pszKey of item, or nullptr when it is missing or null.
const json* Member(const json& item, const char* pszKey) {
    const auto it = item.find(pszKey);
    return it == item.end() || it->is_null() ? nullptr : &*it;
}

bool Missing(const char* pszKey, const std::string& strWhere, std::string& strError) {
    strError = strWhere + ": no \"" + pszKey + "\"";
    return false;
}

}  // namespace

bool CPieceReader::ReadText(const json& item, const char* pszKey, bool bRequired, const std::string& strWhere,
                            std::string& strOut, std::string& strError) {
    strOut.clear();
    const json* pValue = Member(item, pszKey);
    if (!pValue) return !bRequired || Missing(pszKey, strWhere, strError);
    if (!pValue->is_string()) {
        strError = strWhere + ": \"" + pszKey + "\" is " + CPackageFile::TypeName(*pValue) + ", not a string";
        return false;
    }
    strOut = CTextCleaner::CleanText(pValue->get_ref<const std::string&>());
    return true;
}

bool CPieceReader::ReadLines(const json& item, const char* pszKey, bool bRequired, const std::string& strWhere,
                             std::vector<std::string>& lines, std::string& strError, const char* pszPartTitle) {
    lines.clear();
    const json* pValue = Member(item, pszKey);
    if (!pValue) return !bRequired || Missing(pszKey, strWhere, strError);
    auto add = [&lines](const json& line) {
        std::string strLine = CTextCleaner::CleanText(line.get_ref<const std::string&>());
        if (!strLine.empty()) lines.push_back(std::move(strLine));
    };
    if (pValue->is_string()) {
        add(*pValue);
        return true;
    }
    if (!pValue->is_array()) {
        strError = strWhere + ": \"" + pszKey + "\" is " + CPackageFile::TypeName(*pValue) + ", not a list of strings";
        return false;
    }
    for (size_t i = 0; i < pValue->size(); ++i) {
        const json& line = (*pValue)[i];
        if (line.is_null()) continue;
        if (pszPartTitle && line.is_object()) {
            // A part: its heading, then its own lines (parts hold no parts).
            const std::string strPart = strWhere + ": \"" + pszKey + "\" entry " + std::to_string(i + 1);
            std::string strTitle;
            std::vector<std::string> partLines;
            if (!ReadText(line, pszPartTitle, false, strPart, strTitle, strError) ||
                !ReadLines(line, pszKey, false, strPart, partLines, strError))
                return false;
            if (!strTitle.empty()) lines.push_back("# " + strTitle);
            lines.insert(lines.end(), partLines.begin(), partLines.end());
            continue;
        }
        if (!line.is_string()) {
            strError = strWhere + ": \"" + pszKey + "\" entry " + std::to_string(i + 1) + " is " + CPackageFile::TypeName(line) +
                       ", not a string";
            return false;
        }
        add(line);
    }
    return true;
}

bool CPieceReader::Read(const json& item, const PieceFields& fields, const std::string& strWhere, Piece& piece,
                        std::string& strError) {
    piece = Piece();
    auto text = [&](const char* pszKey, std::string& strOut) {
        return !pszKey || ReadText(item, pszKey, false, strWhere, strOut, strError);
    };
    std::string strTitleSub, strVolumeSub;
    if (!text(fields.pszTitle, piece.title) || !text(fields.pszTitleSub, strTitleSub) ||
        !text(fields.pszAuthor, piece.author) ||
        !text(fields.pszBiography, piece.biography) || !text(fields.pszVolume, piece.volume) ||
        !text(fields.pszVolumeSub, strVolumeSub))
        return false;
    if (!strVolumeSub.empty() && strVolumeSub != piece.volume)
        piece.volume += (piece.volume.empty() ? "" : "·") + strVolumeSub;
    if (!strTitleSub.empty() && strTitleSub != piece.title)
        piece.title = piece.title.empty() ? strTitleSub : piece.title + "（" + strTitleSub + "）";
    if (fields.pszBody) {
        const char* pszBody = fields.pszBody;
        if (fields.pszBodyElse && !item.contains(pszBody)) pszBody = fields.pszBodyElse;
        if (fields.bBodyRequired && !item.contains(pszBody)) return Missing(fields.pszBody, strWhere, strError);
        if (!ReadLines(item, pszBody, fields.bBodyRequired, strWhere, piece.paragraphs, strError, fields.pszPartTitle))
            return false;
    }
    if (fields.pszNotes && !ReadLines(item, fields.pszNotes, false, strWhere, piece.notes, strError)) return false;
    // A ci has no title of its own: its tune names it.
    return !piece.title.empty() || text(fields.pszTitleElse, piece.title);
}

bool CPieceReader::ReadBiographies(const std::string& strPath, const char* pszTextKey, BiographyMap& biographies,
                                   std::string& strError) {
    biographies.clear();
    json root;
    std::vector<const json*> items;
    if (!CPackageFile::ReadItems(strPath, CPackageFile::Shape::List, root, items, strError)) return false;
    std::unordered_set<std::string> ambiguous;
    for (size_t i = 0; i < items.size(); ++i) {
        const std::string strWhere = CPackageFile::ItemWhere(strPath, root, i);
        std::string strName, strText;
        if (!ReadText(*items[i], "name", true, strWhere, strName, strError) ||
            !ReadText(*items[i], pszTextKey, false, strWhere, strText, strError))
            return false;
        if (strName.empty() || strText.empty() || ambiguous.count(strName)) continue;
        auto it = biographies.find(strName);
        if (it == biographies.end()) {
            biographies.emplace(strName, strText);
        } else if (it->second != strText) {
            biographies.erase(it);
            ambiguous.insert(strName);
        }
    }
    return true;
}
