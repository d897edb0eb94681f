#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "LineTokenizer.h"
#include "Step.h"

namespace vpinpad {

class ScenarioError : public std::runtime_error {
public:
    ScenarioError(int line, const std::string& text)
        : std::runtime_error("line " + std::to_string(line) + ": " + text), line_(line) {}
    int Line() const { return line_; }

private:
    int line_;
};

// Turns scenario text into steps, one step per non-empty line. Variables are replaced while
// parsing, so every error (unknown keyword, bad escape, unset variable, oversized payload)
// is reported with its line number before anything is sent. Throws ScenarioError.
class ScenarioParser {
public:
    explicit ScenarioParser(const LineTokenizer::Vars& vars) : tokenizer_(vars) {}

    std::vector<Step> Parse(const std::string& text) const;
    std::vector<Step> ParseFile(const std::string& path) const;

private:
    Step ParseLine(const std::vector<std::string>& args) const;

    LineTokenizer tokenizer_;
};

}  // namespace vpinpad
