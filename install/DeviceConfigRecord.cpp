#include "install/DeviceConfigRecord.h"

#include <cstring>

namespace zenthar {

namespace {

// A text entry of the record: 100 bytes of text, then its 32-bit length.
constexpr std::size_t kTextEntrySize = 104;
constexpr std::size_t kTextEntryLengthOffset = 100;
// The 127-entry array of command texts.
constexpr std::size_t kCommandArray = 0x1128;

struct NumberField {
    std::size_t offset;
    std::uint32_t value;
};

constexpr NumberField kNumbers[] = {
    {0x0000, 8},   {0x0008, 1}, {0x04A0, 1},   {0x04A8, 1},    {0x04C0, 150},        {0x04C4, 150}, {0x04C8, 150},
    {0x04CC, 150}, {0x068C, 1}, {0x0690, 800}, {0x0694, 2970}, {0x069C, 0xFFFFFFFF}, {0x1030, 1},   {0x1034, 1},
    {0x1038, 1},   {0x1040, 2}, {0x1044, 2},   {0x1048, 1},    {0x111C, 100},        {0x1120, 100},
};

struct CommandText {
    int unit;
    const char* text;
};

// The second group leaves unit 60 empty; the plug-ins read it that way.
constexpr CommandText kCommands[] = {
    {39, "1C700100"}, {40, "1C700200"}, {41, "1C700300"}, {42, "1C700400"}, {43, "1C700500"},
    {59, "1C700100"}, {61, "1C700200"}, {62, "1C700300"}, {63, "1C700400"}, {64, "1C700500"},
};

void PutNumber(std::uint8_t* record, std::size_t offset, std::uint32_t value)
{
    // Little-endian whatever the host.
    for (int i = 0; i < 4; ++i) record[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void PutTextEntry(std::uint8_t* record, std::size_t offset, const char* text)
{
    const std::size_t length = std::strlen(text);
    std::memcpy(record + offset, text, length);
    PutNumber(record, offset + kTextEntryLengthOffset, static_cast<std::uint32_t>(length));
}

}  // namespace

void FillDeviceConfigRecord(std::uint8_t (&record)[kDeviceConfigRecordSize], std::uint32_t codePage)
{
    for (const auto& field : kNumbers) PutNumber(record, field.offset, field.value);
    PutNumber(record, 0x0004, codePage);
    // Eight units of six numbers: k, 3, 162, 0, 0, 0.
    constexpr std::uint32_t kUnitThird = 162;
    for (std::uint32_t k = 0; k < 8; ++k) {
        const std::size_t unit = 0x05C0 + 24 * k;
        PutNumber(record, unit, k);
        PutNumber(record, unit + 4, 3);
        PutNumber(record, unit + 8, kUnitThird);
    }
    constexpr std::size_t kSerialTextOffset = 0x10B0;
    PutTextEntry(record, kSerialTextOffset, "1234567890");
    for (const auto& command : kCommands)
        PutTextEntry(record, kCommandArray + kTextEntrySize * command.unit, command.text);
}

}  // namespace zenthar
