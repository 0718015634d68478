#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One JSON value as CJsonReader reads it: null, true/false, a number (kept
// as its text, so that no digit is lost), a string (UTF-8), an array or an
// object. A value owns its elements and members; copies are deep.
class CJsonValue {
public:
    enum Type { Null, Bool, Number, String, Array, Object };

    CJsonValue() = default;

    static CJsonValue MakeBool(bool bValue);
    static CJsonValue MakeNumber(std::string strText);
    static CJsonValue MakeString(std::string strText);
    static CJsonValue MakeArray();
    static CJsonValue MakeObject();

    Type GetType() const { return m_nType; }
    bool IsNull() const { return m_nType == Null; }
    bool IsString() const { return m_nType == String; }
    bool IsArray() const { return m_nType == Array; }
    bool IsObject() const { return m_nType == Object; }

    bool GetBool() const { return m_bValue; }
    // A string's UTF-8 text, or a number's text as written; empty otherwise.
    const std::string& GetText() const { return m_strText; }
    // A number that is an integer in the range of int64_t ("12", "-3",
    // "1e2" is not one): true with nValue set; false otherwise.
    bool GetInt64(int64_t& nValue) const;

    // An array's elements, or an object's member values (in file order,
    // parallel to Keys()).
    const std::vector<CJsonValue>& Items() const { return m_items; }
    // An object's member names; empty for other values.
    const std::vector<std::string>& Keys() const { return m_keys; }
    // The value of an object's first member named strKey; null when this
    // is not an object or has no such member.
    const CJsonValue* Find(const std::string& strKey) const;
    // Find, when the member is a string: its text; else nullptr.
    const std::string* FindString(const std::string& strKey) const;

    // Building (arrays and objects only; other values ignore these).
    void Append(CJsonValue value);
    void AddMember(std::string strKey, CJsonValue value);

    // A short name of the type for messages ("a string", "an object").
    static const char* TypeName(Type nType);

private:
    Type m_nType = Null;
    bool m_bValue = false;
    std::string m_strText;
    std::vector<std::string> m_keys;
    std::vector<CJsonValue> m_items;
};
