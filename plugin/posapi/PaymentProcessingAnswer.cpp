#include "PaymentProcessingAnswer.h"

PaymentProcessingAnswer PaymentProcessingAnswer::failure(const tr::Tr& message) {
    PaymentProcessingAnswer answer;
    answer.message = message;
    return answer;
}
