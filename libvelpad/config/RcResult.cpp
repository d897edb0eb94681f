#include "config/RcResult.h"

#include "ri/Conv.h"

RcResult::RcResult(ri::Trace* trace) : Settings(trace) {}

void RcResult::MakePair(const std::string& key, const std::string& value) {
    if (!key.empty() && ri::Conv::String::IsInt(key)) {
        texts_[static_cast<int>(ri::Conv::String::ToInt(key))] = value;
    }
}

bool RcResult::IsExist(int code) const {
    return texts_.count(code) != 0;
}

std::string RcResult::Get(int code, const std::string& fallback) const {
    const auto found = texts_.find(code);
    return found != texts_.end() ? found->second : fallback;
}
