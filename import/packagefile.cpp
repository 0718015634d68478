#include "import/packagefile.h"

#include "platform/fileexception.h"
#include "platform/readonlyfile.h"
#include "text/codeconverter.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <system_error>

namespace fs = std::filesystem;
using json = nlohmann::json;

namespace {

// nlohmann's message without its tag and lead ("[json.exception.parse_error.101]
// parse error at "), cut to MaxQuoteChars characters and made valid UTF-8:
// the token it quotes may be long, and bad bytes are the fault it reports.
std::string Describe(const json::exception& e) {
    std::string strWhat = e.what();
    if (strWhat.compare(0, 1, "[") == 0) {
        const size_t nEnd = strWhat.find("] ");
        if (nEnd != std::string::npos) strWhat.erase(0, nEnd + 2);
    }
    for (const char* pszLead : {"parse error at ", "parse error: "}) {
        if (strWhat.compare(0, std::strlen(pszLead), pszLead) == 0) {
            strWhat.erase(0, std::strlen(pszLead));
            break;
        }
    }
    std::u32string text = CCodeConverter::Utf8ToUtf32(strWhat);
    if (text.size() > CPackageFile::MaxQuoteChars) {
        text.resize(CPackageFile::MaxQuoteChars);
        text += U"…";
    }
    std::string out;
    for (char32_t c : text) CCodeConverter::AppendUtf8(c, out);
    return out;
}

// Builds the tree from nlohmann's SAX events as its own parser does, and
// refuses a list or object nested deeper than MaxDepth.
class CTreeBuilder : public json::json_sax_t {
public:
    explicit CTreeBuilder(json& root) : m_root(root) {}
    const std::string& Error() const { return m_strError; }

    bool null() override { return Add(json()); }
    bool boolean(bool bValue) override { return Add(json(bValue)); }
    bool number_integer(number_integer_t nValue) override { return Add(json(nValue)); }
    bool number_unsigned(number_unsigned_t nValue) override { return Add(json(nValue)); }
    bool number_float(number_float_t dValue, const string_t&) override { return Add(json(dValue)); }
    bool string(string_t& strValue) override { return Add(json(std::move(strValue))); }
    bool binary(binary_t& value) override { return Add(json(std::move(value))); }
    bool key(string_t& strKey) override {
        m_strKey = std::move(strKey);
        return true;
    }
    bool start_object(std::size_t) override { return Open(json::value_t::object); }
    bool start_array(std::size_t) override { return Open(json::value_t::array); }
    bool end_object() override { return Close(); }
    bool end_array() override { return Close(); }
    bool parse_error(std::size_t, const std::string&, const json::exception& e) override {
        m_strError = Describe(e);
        return false;
    }

private:
    // Puts value in its place: the root, the end of the open list, or the
    // open object's member m_strKey. The place stays put while it is open:
    // its list or object takes nothing else before it is closed.
    json& Place(json value) {
        if (m_open.empty()) {
            m_root = std::move(value);
            return m_root;
        }
        json& parent = *m_open.back();
        if (parent.is_array()) {
            parent.push_back(std::move(value));
            return parent.back();
        }
        return parent.get_ref<json::object_t&>().insert_or_assign(std::move(m_strKey), std::move(value)).first->second;
    }
    bool Add(json value) {
        Place(std::move(value));
        return true;
    }
    bool Open(json::value_t nType) {
        if (m_open.size() >= CPackageFile::MaxDepth) {
            m_strError = "nested deeper than " + std::to_string(CPackageFile::MaxDepth) + " levels";
            return false;
        }
        m_open.push_back(&Place(json(nType)));
        return true;
    }
    bool Close() {
        m_open.pop_back();
        return true;
    }

    json& m_root;
    std::vector<json*> m_open;  // the lists and objects not yet closed, outermost first
    std::string m_strKey;       // the member the next value of an object is
    std::string m_strError;
};

bool IsAllDigits(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Numbers as digit strings: shorter is smaller, then by digits.
bool NumberLess(const std::string& a, const std::string& b) {
    const std::string x = a.substr(std::min(a.find_first_not_of('0'), a.size()));
    const std::string y = b.substr(std::min(b.find_first_not_of('0'), b.size()));
    return x.size() != y.size() ? x.size() < y.size() : x < y;
}

}  // namespace

bool CPackageFile::Parse(const std::string& strText, json& root, std::string& strError) {
    root = json();
    CTreeBuilder builder(root);
    bool bOk;
    std::string strWhat;
    try {
        bOk = json::sax_parse(strText, &builder);
        strWhat = builder.Error();
    } catch (const json::exception& e) {
        bOk = false;
        strWhat = Describe(e);
    }
    if (!bOk) {
        root = json();
        strError = strWhat.empty() ? "not JSON" : strWhat;
    }
    return bOk;
}

bool CPackageFile::Read(const std::string& strPath, json& root, std::string& strError) {
    root = json();
    try {
        const std::string strText = CReadOnlyFile::ReadAll(strPath, MaxFileBytes);
        std::string strWhat;
        if (Parse(strText, root, strWhat)) return true;
        strError = strPath + ": not valid JSON: " + strWhat;
    } catch (const CFileException& e) {
        strError = e.what();
    } catch (const std::bad_alloc&) {
        root = json();
        strError = strPath + ": out of memory while reading it";
    }
    return false;
}

bool CPackageFile::Items(const std::string& strPath, const json& root, Shape eShape, std::vector<const json*>& items,
                         std::string& strError) {
    items.clear();
    if (root.is_object() && eShape != Shape::List) {
        items.push_back(&root);
        return true;
    }
    if (eShape == Shape::Object) {
        strError = strPath + ": expected an object, found " + TypeName(root);
        return false;
    }
    if (!root.is_array()) {
        strError = strPath + ": expected a list of items, found " + TypeName(root);
        return false;
    }
    items.reserve(root.size());
    for (size_t i = 0; i < root.size(); ++i) {
        const json& item = root[i];
        if (!item.is_object()) {
            strError = strPath + ": item " + std::to_string(i + 1) + " is " + TypeName(item) + ", not an object";
            return false;
        }
        items.push_back(&item);
    }
    return true;
}

bool CPackageFile::MemberItems(const std::string& strWhere, const json& object, const char* pszKey,
                               std::vector<const json*>& items, std::string& strError) {
    items.clear();
    const auto it = object.find(pszKey);
    if (it == object.end() || it->is_null()) {
        strError = strWhere + ": no \"" + pszKey + "\"";
        return false;
    }
    if (!it->is_array()) {
        strError = strWhere + ": \"" + pszKey + "\" is " + TypeName(*it) + ", not a list";
        return false;
    }
    items.reserve(it->size());
    for (size_t i = 0; i < it->size(); ++i) {
        const json& item = (*it)[i];
        if (!item.is_object()) {
            strError = strWhere + ": \"" + pszKey + "\" item " + std::to_string(i + 1) + " is " + TypeName(item) +
                       ", not an object";
            return false;
        }
        items.push_back(&item);
    }
    return true;
}

bool CPackageFile::ReadItems(const std::string& strPath, Shape eShape, json& root, std::vector<const json*>& items,
                             std::string& strError) {
    items.clear();
    return Read(strPath, root, strError) && Items(strPath, root, eShape, items, strError);
}

std::string CPackageFile::ItemWhere(const std::string& strPath, const json& root, size_t i) {
    return root.is_object() ? strPath : strPath + ": item " + std::to_string(i + 1);
}

const char* CPackageFile::TypeName(const json& value) {
    switch (value.type()) {
    case json::value_t::null: return "null";
    case json::value_t::boolean: return "a boolean";
    case json::value_t::number_integer:
    case json::value_t::number_unsigned:
    case json::value_t::number_float: return "a number";
    case json::value_t::string: return "a string";
    case json::value_t::array: return "a list";
    case json::value_t::object: return "an object";
    default: return "a value";
    }
}

bool CPackageFile::List(const std::string& strFolder, const std::string& strPrefix, std::vector<std::string>& files,
                        std::string& strError) {
    files.clear();
    std::vector<std::string> stems;
    std::error_code ec;
    fs::directory_iterator it(strFolder, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string strName = it->path().filename().string();
        if (strName.size() <= strPrefix.size() + 5 || strName.compare(0, strPrefix.size(), strPrefix) != 0 ||
            strName.compare(strName.size() - 5, 5, ".json") != 0)
            continue;
        std::error_code ecType;
        if (!fs::is_regular_file(it->path(), ecType)) continue;
        stems.push_back(strName.substr(strPrefix.size(), strName.size() - strPrefix.size() - 5));
    }
    if (ec) {
        strError = strFolder + ": cannot read the folder (" + ec.message() + ")";
        return false;
    }
    std::sort(stems.begin(), stems.end(), [](const std::string& a, const std::string& b) {
        const bool bA = IsAllDigits(a), bB = IsAllDigits(b);
        if (bA != bB) return bA;
        return bA ? NumberLess(a, b) : a < b;
    });
    for (const std::string& strStem : stems) files.push_back(strFolder + "/" + strPrefix + strStem + ".json");
    if (files.empty()) {
        strError = strFolder + ": no files " + strPrefix + "*.json";
        return false;
    }
    return true;
}

bool CPackageFile::FileNumber(Numbering eNumbering, const std::string& strStem, size_t& nNumber) {
    switch (eNumbering) {
    case Numbering::None: return false;
    case Numbering::Stem:
        if (!IsAllDigits(strStem)) return false;
        nNumber = static_cast<size_t>(std::strtoul(strStem.c_str(), nullptr, 10));
        return true;
    case Numbering::Dashed: {
        const std::string strNumber = strStem.substr(0, strStem.find('-'));
        if (strNumber == "x" || strNumber == "X") {
            nNumber = 10;
            return true;
        }
        if (!IsAllDigits(strNumber) || strNumber.size() > 4) return false;
        nNumber = static_cast<size_t>(std::stoul(strNumber));
        return true;
    }
    }
    return false;
}
