#pragma once

#include "corpus/textparts.h"

#include <cstdint>
#include <string>
#include <vector>

// The options of one subcommand, defined once: the parser and the help text
// both come from this table.
struct OptionSpec {
    const char* pszName;     // "--data"
    const char* pszValue;    // "DIR", or nullptr for a switch
    const char* pszHelp;
};

// Parses "--name VALUE", "--name=VALUE", switches and positional arguments.
// "--" ends the options. Unknown options and missing values are errors.
class CCommandLine {
public:
    CCommandLine(std::vector<OptionSpec> specs) : m_specs(std::move(specs)) {}

    // False with strError when the arguments do not fit the table.
    bool Parse(int argc, char** argv, std::string& strError);

    bool Has(const std::string& strName) const;
    // The last value given for an option, or strDefault.
    std::string Value(const std::string& strName, const std::string& strDefault = "") const;
    // Every value given for an option, in order (an option that may be
    // repeated).
    std::vector<std::string> Values(const std::string& strName) const;
    // Every value given for an option, each cut at cSeparator, in order,
    // empty items left out: "--engines ours,scan --engines fts5" gives
    // ours, scan, fts5.
    std::vector<std::string> ListValues(const std::string& strName, char cSeparator = ',') const;
    const std::vector<std::string>& Positional() const { return m_positional; }

    // "Options:" and one line per option, from the table.
    std::string OptionHelp() const;

    // The value of --part (whole, main or annotations) as the text part to
    // mark; ScopeOf gives the index to open. False for any other value.
    static bool ParsePart(const std::string& strPart, TextPart& ePart /* OUT */);

    // A number of at most 9 decimal digits (a slot, a page index). False
    // for anything else.
    static bool ParseCount(const std::string& strText, int32_t& nValue /* OUT */);
    // A decimal number without sign or exponent ("20", "0.5", "2."), of at
    // most 9 digits before the point. False for anything else.
    static bool ParseNumber(const std::string& strText, double& dValue /* OUT */);
    // The keywords of args[nFrom..] as the keyword box would hold them: one
    // line, joined with a space, ideographic spaces taken as spaces. False
    // when they are not valid UTF-8.
    static bool JoinKeywords(const std::vector<std::string>& args, size_t nFrom, std::u16string& strKeywords /* OUT */);

private:
    const OptionSpec* Find(const std::string& strName) const;

    std::vector<OptionSpec> m_specs;
    std::vector<std::pair<std::string, std::string>> m_values;
    std::vector<std::string> m_positional;
};
