#include "config/OpsTIDConv.h"

#include "ri/Conv.h"

OpsTIDConv::OpsTIDConv(ri::Trace* trace) : Settings(trace) {}

void OpsTIDConv::MakePair(const std::string& key, const std::string& value) {
    values_[ri::Conv::Upper(key)] = value;
}

bool OpsTIDConv::IsExist(const std::string& key) const {
    return values_.count(ri::Conv::Upper(key)) != 0;
}

std::string& OpsTIDConv::operator[](const std::string& key) {
    return values_[ri::Conv::Upper(key)];
}
