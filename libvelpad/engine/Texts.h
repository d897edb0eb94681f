#ifndef VELPAD_ENGINE_TEXTS_H
#define VELPAD_ENGINE_TEXTS_H

#include "config/CardData.h"

// Separators, texts and codes that several parts of the library share.
namespace texts {

// Separates the fields inside a pinpad payload.
inline constexpr char kEsc = CardData::kFieldSeparator;
inline constexpr char kEscText[] = {kEsc, '\0'};
// "ДА/НЕТ?": the question under every yes/no dialog (CP1251).
inline constexpr char kYesNoQuestion[] = "\xC4\xC0/\xCD\xC5\xD2?";

// The code of the ri::Exception an engine raises when another run holds the
// pinpad's lock; no other exception carries it.
inline constexpr int kPinpadBusyCode = -100;
// "Пин-пад занят другой операцией": the "text_message" of a run refused
// because another run holds the pinpad (CP1251).
inline constexpr char kPinpadBusy[] =
    "\xCF\xE8\xED-\xEF\xE0\xE4 \xE7\xE0\xED\xFF\xF2 \xE4\xF0\xF3\xE3\xEE\xE9 "
    "\xEE\xEF\xE5\xF0\xE0\xF6\xE8\xE5\xE9";

// "Ошибка записи файла: ": the head of the "text_message" of a run that could
// not keep one of its files (CP1251); the file's path follows.
inline constexpr char kFileNotKept[] =
    "\xCE\xF8\xE8\xE1\xEA\xE0 \xE7\xE0\xEF\xE8\xF1\xE8 \xF4\xE0\xE9\xEB\xE0: ";

}  // namespace texts

#endif
