#ifndef VELPAD_ENGINE_TEXTS_H
#define VELPAD_ENGINE_TEXTS_H

// Separators and texts that several families of pinpad requests share.
namespace texts {

// Separates the fields inside a pinpad payload.
inline constexpr char kEsc = 0x1B;
inline constexpr char kEscText[] = "\x1b";
// "ДА/НЕТ?": the question under every yes/no dialog (CP1251).
inline constexpr char kYesNoQuestion[] = "\xC4\xC0/\xCD\xC5\xD2?";

}  // namespace texts

#endif
