#include "Output.h"

#include <iostream>

namespace velrun {

void printResult(const ResultMap& result) {
    for (const auto& [key, value] : result) std::cout << key << '=' << value << std::endl;
}

}  // namespace velrun
