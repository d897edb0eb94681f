#pragma once

#include <QTextStream>

#include "PaymentProcessingAnswer.h"

// Writes the answer's fields as "name=value" lines, then every slip after a
// "slip N:" line.
void printAnswer(QTextStream& out, const PaymentProcessingAnswer& answer);
