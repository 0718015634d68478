#include "import/jsonvalue.h"

#include <limits>

CJsonValue CJsonValue::MakeBool(bool bValue) {
    CJsonValue value;
    value.m_nType = Bool;
    value.m_bValue = bValue;
    return value;
}

CJsonValue CJsonValue::MakeNumber(std::string strText) {
    CJsonValue value;
    value.m_nType = Number;
    value.m_strText = std::move(strText);
    return value;
}

CJsonValue CJsonValue::MakeString(std::string strText) {
    CJsonValue value;
    value.m_nType = String;
    value.m_strText = std::move(strText);
    return value;
}

CJsonValue CJsonValue::MakeArray() {
    CJsonValue value;
    value.m_nType = Array;
    return value;
}

CJsonValue CJsonValue::MakeObject() {
    CJsonValue value;
    value.m_nType = Object;
    return value;
}

bool CJsonValue::GetInt64(int64_t& nValue) const {
    if (m_nType != Number || m_strText.empty()) return false;
    size_t i = 0;
    const bool bNegative = m_strText[0] == '-';
    if (bNegative) ++i;
    if (i == m_strText.size()) return false;
    // Accumulate as a negative number: its range holds INT64_MIN.
    int64_t n = 0;
    for (; i < m_strText.size(); ++i) {
        const char c = m_strText[i];
        if (c < '0' || c > '9') return false;
        const int nDigit = c - '0';
        if (n < (std::numeric_limits<int64_t>::min() + nDigit) / 10) return false;
        n = n * 10 - nDigit;
    }
    if (!bNegative) {
        if (n == std::numeric_limits<int64_t>::min()) return false;
        n = -n;
    }
    nValue = n;
    return true;
}

const CJsonValue* CJsonValue::Find(const std::string& strKey) const {
    if (m_nType != Object) return nullptr;
    for (size_t i = 0; i < m_keys.size(); ++i)
        if (m_keys[i] == strKey) return &m_items[i];
    return nullptr;
}

const std::string* CJsonValue::FindString(const std::string& strKey) const {
    const CJsonValue* pValue = Find(strKey);
    return pValue && pValue->IsString() ? &pValue->m_strText : nullptr;
}

void CJsonValue::Append(CJsonValue value) {
    if (m_nType == Array) m_items.push_back(std::move(value));
}

void CJsonValue::AddMember(std::string strKey, CJsonValue value) {
    if (m_nType != Object) return;
    m_keys.push_back(std::move(strKey));
    m_items.push_back(std::move(value));
}

const char* CJsonValue::TypeName(Type nType) {
    switch (nType) {
    case Null: return "null";
    case Bool: return "a boolean";
    case Number: return "a number";
    case String: return "a string";
    case Array: return "a list";
    case Object: return "an object";
    }
    return "a value";
}
