#include "Tr.h"

namespace tr {

Tr::Tr(const QString& id, const QString& ru) : m_id(id), m_ru(ru) {}

bool Tr::operator==(const Tr& other) const {
    return m_id == other.m_id && m_ru == other.m_ru;
}

}  // namespace tr
