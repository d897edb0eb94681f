#include "OrvexMultimerchantPaymentProcessingFactory.h"

#include "OrvexMultimerchantPaymentProcessing.h"

AbstractPaymentProcessing* OrvexMultimerchantPaymentProcessingFactory::getObject() {
    return new OrvexMultimerchantPaymentProcessing();
}
