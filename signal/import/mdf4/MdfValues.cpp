#include "signal/import/mdf4/MdfValues.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <string>

#include "util/errors.h"
#include "util/quote.h"

namespace morvane::mdf4 {

namespace {

enum TDataType : std::uint8_t { UnsignedLe = 0, UnsignedBe, SignedLe, SignedBe, FloatLe, FloatBe };

[[noreturn]] void RaiseChannelError(const TChannel& channel, int group, const std::string& problem) {
    RaiseRecordingError("Kanál '" + ShortenedQuote(channel.Name) + "' (skupina " + std::to_string(group) +
                        "): " + problem);
}

bool BigEndian(std::uint8_t type) {
    return type == UnsignedBe || type == SignedBe || type == FloatBe;
}

double Converted(const TConversion& conversion, double x) {
    const std::array<double, 6>& p = conversion.Values;
    switch (conversion.Kind) {
        case TConversionKind::Linear:
            return p[0] + p[1] * x;
        case TConversionKind::Rational:
            return (p[0] * x * x + p[1] * x + p[2]) / (p[3] * x * x + p[4] * x + p[5]);
        default:
            return x;
    }
}

}  // namespace

TChannelValues::TChannelValues(const TChannel& channel, const TChannelGroup& group)
    : m_channel(channel), m_dataBytes(group.DataBytes) {
    const int number = group.Number;
    m_virtual = channel.Type == TChannelType::VirtualMaster || channel.Type == TChannelType::VirtualData;
    if (!m_virtual && channel.Type != TChannelType::Fixed && channel.Type != TChannelType::Master) {
        RaiseChannelError(channel, number,
                          "druh kanálu " + std::to_string(static_cast<int>(channel.Type)) +
                              " se nečte (jen pevná délka a hlavní kanál)");
    }
    if (channel.Conversion.Kind == TConversionKind::Other) {
        RaiseChannelError(channel, number,
                          "převod druhu " + std::to_string(channel.Conversion.Type) +
                              " se nečte (jen identita, lineární a racionální)");
    }
    if (channel.allInvalid()) {
        RaiseChannelError(channel, number, "všechny vzorky jsou označeny jako neplatné");
    }
    if (channel.hasInvalidBit() && channel.InvalidBit / 8 >= group.InvalidBytes) {
        RaiseChannelError(channel, number, "bit platnosti leží mimo záznam");
    }
    if (m_virtual) {
        return;
    }
    if (channel.DataType > FloatBe) {
        RaiseChannelError(channel, number,
                          "datový typ " + std::to_string(channel.DataType) +
                              " se nečte (jen celá čísla a čísla s plovoucí čárkou)");
    }
    const bool isFloat = channel.DataType == FloatLe || channel.DataType == FloatBe;
    if (isFloat ? (channel.BitCount != 32 && channel.BitCount != 64) || channel.BitOffset != 0
                : channel.BitCount < 1 || channel.BitCount > 64 || channel.BitOffset > 7) {
        RaiseChannelError(channel, number,
                          "počet bitů " + std::to_string(channel.BitCount) + " od bitu " +
                              std::to_string(channel.BitOffset) + " se nečte");
    }
    m_byteCount = (channel.BitOffset + channel.BitCount + 7) / 8;
    m_plainDouble = std::endian::native == std::endian::little && channel.DataType == FloatLe &&
                    channel.BitCount == 64 && channel.Conversion.Kind == TConversionKind::Identity &&
                    !channel.hasInvalidBit();
    if (std::uint64_t{channel.ByteOffset} + m_byteCount > group.DataBytes) {
        RaiseChannelError(channel, number, "hodnota leží mimo záznam");
    }
}

double TChannelValues::raw(const std::uint8_t* record, std::uint64_t index) const {
    if (m_virtual) {
        return static_cast<double>(index);
    }
    const std::uint8_t* bytes = record + m_channel.ByteOffset;
    const bool big = BigEndian(m_channel.DataType);
    __extension__ using TWide = unsigned __int128;
    TWide wide = 0;
    if (!big && m_byteCount <= 8 && std::endian::native == std::endian::little) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes, m_byteCount);
        wide = word;
    } else {
        for (std::size_t i = 0; i < m_byteCount; ++i) {
            wide |= TWide{bytes[big ? m_byteCount - 1 - i : i]} << (8 * i);
        }
    }
    const std::uint32_t bits = m_channel.BitCount;
    const std::uint64_t mask = bits == 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits) - 1;
    const auto word = static_cast<std::uint64_t>(wide >> m_channel.BitOffset) & mask;
    switch (m_channel.DataType) {
        case FloatLe:
        case FloatBe:
            return bits == 32 ? static_cast<double>(std::bit_cast<float>(static_cast<std::uint32_t>(word)))
                              : std::bit_cast<double>(word);
        case SignedLe:
        case SignedBe: {
            const std::uint64_t sign = std::uint64_t{1} << (bits - 1);
            return static_cast<double>(static_cast<std::int64_t>((word ^ sign) - sign));
        }
        default:
            return static_cast<double>(word);
    }
}

double TChannelValues::general(const std::uint8_t* record, std::uint64_t index) const {
    if (m_channel.hasInvalidBit()) {
        const std::uint32_t bit = m_channel.InvalidBit;
        if ((record[m_dataBytes + bit / 8] >> (bit % 8) & 1U) != 0) {
            fail(index, "vzorek je označen jako neplatný");
        }
    }
    const double value = Converted(m_channel.Conversion, raw(record, index));
    if (!std::isfinite(value)) {
        fail(index, "hodnota není konečné číslo");
    }
    return value;
}

void TChannelValues::fail(std::uint64_t index, const char* problem) const {
    RaiseRecordingError("Kanál '" + ShortenedQuote(m_channel.Name) + "', záznam " +
                        std::to_string(index + 1) + ": " + problem);
}

}  // namespace morvane::mdf4
