#pragma once

#include <QString>

#include <array>

namespace kavrel::settings {

// The directory record of DIR.DEF: eleven texts in file order.
struct DirRecord
{
    enum Index {
        LOG_Dir = 0,
        Up_Dir = 1,
        BL_Dir = 2,
        Reserved4 = 3,
        WindowLeft = 4,
        WindowTop = 5,
        Reserved7 = 6,
        Editor_Path = 7,
        Reserved9 = 8,
        WindowHeight = 9,
        Reserved11 = 10,
        Count = 11
    };
    std::array<QString, Count> values;

    QString &operator[](Index i) { return values[i]; }
    const QString &operator[](Index i) const { return values[i]; }
};

// The nine one-character option flags of SET.def, in file order. Anything
// other than "1" counts as not set.
struct OptionFlags
{
    enum Index {
        NetSelectAtStart = 0,
        SignatureOn = 1,
        ResBlankQuoteDelete = 2,
        BoardListFrozen = 3,
        TitleOnlySignature = 4,
        Reserved6 = 5,
        MonoColors = 6,
        SpaceMovesOn = 7,
        Reserved9 = 8,
        Count = 9
    };
    std::array<QString, Count> values;

    bool isSet(Index i) const { return values[i] == QLatin1String("1"); }
    QString &operator[](Index i) { return values[i]; }
    const QString &operator[](Index i) const { return values[i]; }
};

// One net's record of DATA.DEF: sixteen fields of 80 characters, blank padded;
// the terminated fields keep their NUL inside the field.
struct NetRecord
{
    enum Field {
        Net_Name = 0,
        Header,
        Main_Prompt,
        Read_End,
        Subcommand,
        Delete,
        Up_File_Name,
        Board_list_File_Name,
        Log_File_Name,
        ID_LIST_FILE_NAME,
        Reserved1,
        Sirial_Flg,
        SirialHeader,
        Xchat,
        Sign_Path,
        Reserved2,
        FieldCount
    };
    static constexpr int kFieldWidth = 80;
    static constexpr int kRecordBytes = kFieldWidth * FieldCount; // 1280

    std::array<QString, FieldCount> fields;

    QString &operator[](Field f) { return fields[f]; }
    const QString &operator[](Field f) const { return fields[f]; }
};

} // namespace kavrel::settings
