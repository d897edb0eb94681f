#include "LibraryRun.h"

#include <stdexcept>
#include <string>

#include "api/velpad.h"

namespace bench {

void LibraryPayment(bool logsOff, bool ledger) {
    DARir* session = CreateDARir();
    DARirSet(session, "amount", "1500", -1);
    DARirSet(session, "currency", "643", -1);
    if (logsOff) DARirSet(session, "DISABLE_LOG", "1", -1);
    if (!ledger) DARirSet(session, "NO_LEDGER", "1", -1);
    const int result = DARirRun(session, 1);
    char rrn[64];
    DARirGet(session, "rrn", rrn, sizeof(rrn));
    DeleteDARir(session);
    if (result != 0) throw std::runtime_error("the payment ended with " + std::to_string(result));
}

}  // namespace bench
