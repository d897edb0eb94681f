#include "AnswerPrinter.h"

void printAnswer(QTextStream& out, const PaymentProcessingAnswer& answer) {
    out << "code=" << answer.code << '\n'
        << "error=" << answer.error << '\n'
        << "messageId=" << answer.message.id() << '\n'
        << "message=" << answer.message.ru() << '\n'
        << "cardType=" << answer.cardType << '\n'
        << "cardNumber=" << answer.cardNumber << '\n'
        << "authorizationCode=" << answer.authorizationCode << '\n'
        << "rrn=" << answer.rrn << '\n'
        << "terminalId=" << answer.terminalId << '\n';
    for (int i = 0; i < answer.slips.size(); ++i)
        out << "slip " << i + 1 << ":\n" << answer.slips.at(i) << '\n';
    out.flush();
}
