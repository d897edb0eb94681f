#ifndef VELPAD_ENGINE_NAKBUDGET_H
#define VELPAD_ENGINE_NAKBUDGET_H

// How many NAKs a wait may still send to ask the pinpad for a frame again.
// A wait whose budget is spent (or whose NAKs are switched off) gives up.
class NakBudget {
public:
    NakBudget(int naks, bool disabled) : left_(disabled ? 0 : naks) {}

    // Takes one NAK from the budget; false when none is left.
    bool Spend() {
        if (left_ <= 0) return false;
        --left_;
        return true;
    }
    int Left() const { return left_; }

private:
    int left_;
};

#endif
