#include "config/RcConv.h"

#include "ri/Conv.h"

RcConv::RcConv(ri::Trace* trace) : Settings(trace) {}

void RcConv::MakePair(const std::string& key, const std::string& value) {
    using ri::Conv::String::IsInt;
    using ri::Conv::String::ToInt;
    // An empty side is no code (IsInt accepts it, ToInt would read it as 0).
    if (!key.empty() && !value.empty() && IsInt(key) && IsInt(value)) {
        if (HidesFailure(ToInt(key), ToInt(value))) {
            skipped_.push_back(key + "=" + value);
            return;
        }
        codes_[static_cast<int>(ToInt(key))] = static_cast<int>(ToInt(value));
    }
}

int RcConv::operator[](int code) const {
    const auto found = codes_.find(code);
    return found != codes_.end() ? found->second : code;
}
