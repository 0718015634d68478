#pragma once

#include <string>

// What every command of tessaline-cli writes, in one place: its messages on
// standard error, each starting with the command's name
// ("tessaline-cli search: ..."), and its results on standard output; and
// the forms names take in its TSV and JSON output.
class CCliOutput {
public:
    // pszCommand: the subcommand ("search").
    explicit CCliOutput(const char* pszCommand) : m_strName(std::string("tessaline-cli ") + pszCommand) {}

    const std::string& Name() const { return m_strName; }

    // "tessaline-cli COMMAND: message" on standard error; Fail returns 2,
    // the status of an error.
    int Fail(const std::string& strMessage) const;
    // The message, an empty line and strUsage (which ends with its own line
    // break); returns 2.
    int FailWithUsage(const std::string& strMessage, const std::string& strUsage) const;
    void Warn(const std::string& strMessage) const;  // "...: warning: message"
    void Tell(const std::string& strMessage) const;  // "...: message" (what was done)

    // The warning that the index met damage during the command (see
    // CIndex::GetDamage); nothing when strDamage is empty.
    void WarnOfDamage(const std::string& strDamage) const;

    // Writes strOut to standard output and flushes it. False, after a
    // message naming pszWhat ("the result"), when it cannot.
    bool WriteOut(const std::string& strOut, const char* pszWhat) const;

    // A name as one TSV field: tabs and line breaks would split the row.
    static std::string TsvField(const std::u16string& strName);
    // A JSON string; an unpaired surrogate is written as its \u escape so
    // that the output stays valid UTF-8.
    static std::string JsonString(const std::u16string& s);

private:
    std::string m_strName;
};
