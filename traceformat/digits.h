// A number as the trace writes it (hexadecimal lower case, or decimal),
// formatted on the stack: appended to a line without a text of its own.
#ifndef TRACEFORMAT_DIGITS_H
#define TRACEFORMAT_DIGITS_H

#include <QLatin1String>
#include <QtGlobal>

namespace scrivel {

class Digits {
 public:
  static Digits Hex(quint64 value) { return Digits(value, 16, false); }
  static Digits Decimal(quint64 value) { return Digits(value, 10, false); }
  // With a minus sign when negative.
  static Digits SignedDecimal(qint64 value) {
    return value < 0 ? Digits(0 - static_cast<quint64>(value), 10, true)
                     : Digits(static_cast<quint64>(value), 10, false);
  }
  // An address: hexadecimal, or decimal.
  static Digits Address(const void* pointer) { return Hex(reinterpret_cast<quintptr>(pointer)); }
  static Digits AddressDecimal(const void* pointer) {
    return Decimal(reinterpret_cast<quintptr>(pointer));
  }

  QLatin1String text() const { return QLatin1String(m_text + m_start, kSize - m_start); }

 private:
  static constexpr int kSize = 24;
  Digits(quint64 value, unsigned base, bool negative) {
    m_start = kSize;
    do {
      m_text[--m_start] = "0123456789abcdef"[value % base];
      value /= base;
    } while (value != 0);
    if (negative) m_text[--m_start] = '-';
  }
  char m_text[kSize];
  int m_start;
};

}  // namespace scrivel

#endif
