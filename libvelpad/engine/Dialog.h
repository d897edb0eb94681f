#ifndef VELPAD_ENGINE_DIALOG_H
#define VELPAD_ENGINE_DIALOG_H

#include <cstdint>
#include <string>

class PinpadSession;

namespace ri {
class Trace;
}

// Bridge from the engine to the caller's dialog callbacks. The caller hands
// over two tables of plain function pointers (by their addresses as decimal
// text in "DialogsCBs" and "DialogsI344CBs"); every operation looks up its
// entry and falls back to a fixed default when the table or the entry is
// missing, as if the operator had not answered.
class Dialog {
public:
    Dialog();

    int Init(const std::string& library_path, long idle_timeout, bool show, bool use_callback);
    void SetDialogs(void* dialog_table, void* screen_table);
    void SetCallback(void* callback);

    // Shows one of the engine's own status texts (CP1251), in the session's
    // charset; a text no table shows is not converted at all.
    int StatusReportConst(const PinpadSession& session, const char* text);
    int StatusReport(const std::string& text);
    int WarningDlg(const std::string& text);
    int InfoWin(const std::string& text);
    int YesNoDialog(const std::string& text, const std::string& question);
    int YesNoDialog_ex(const std::string& text, const std::string& question);
    int MakeMenu(const std::string& text);
    int StringInput(const std::string& text, std::string* value);
    int ErrorReport(const std::string& text);
    void RestoreScreen();

    int I344Open();
    int I344Close();
    int I344PrintLine(int row, const std::string& text);
    int I344PrintLine(int row, int column, const std::string& text, int inverse);
    void I344Redraw();
    std::string GetPOKey();

private:
    void* DialogEntry(int index) const;
    void* ScreenEntry(int index) const;

    ri::Trace* trace_;
    bool show_ = true;
    bool use_callback_ = false;
    int64_t idle_timeout_ = 0;
    void* const* dialog_table_ = nullptr;
    void* const* screen_table_ = nullptr;
};

#endif
