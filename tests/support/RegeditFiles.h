#pragma once

#include <QByteArray>
#include <QString>

// The same values of every type regedit writes, as regedit writes them: once as a
// REGEDIT4 file (8-bit; texts inside hex data in UTF-8) and once as a version 5 file
// (UTF-16LE with a byte order mark and CR LF; texts inside hex data in UTF-16). Hex lists
// are wrapped at regedit's width. Importing either and exporting in either version gives
// the other's bytes.
namespace RegeditFiles {

inline const QString TypedKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Typed Values");

inline const char Typed4[] =
    "REGEDIT4\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Typed Values]\n"
    "\"Text\"=\"a \\\"quoted\\\" C:\\\\path Grüße 東京\"\n"
    "@=\"default\"\n"
    "\"Expand\"=hex(2):25,48,4f,4d,45,25,5c,47,72,c3,bc,c3,9f,65,00\n"
    "\"Number\"=dword:0000002a\n"
    "\"Binary\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\n"
    "  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,\\\n"
    "  2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,45,46,47,\\\n"
    "  48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,5b,5c,5d,5e,5f,60,\\\n"
    "  61,62,63\n"
    "\"Empty binary\"=hex:\n"
    "\"Multi\"=hex(7):6f,6e,65,00,00,64,72,65,69,20,c3,a4,00,00\n"
    "\"Empty multi\"=hex(7):\n"
    "\"Quad\"=hex(b):08,07,06,05,04,03,02,01\n"
    "\"Big endian\"=hex(5):00,00,00,2a\n"
    "\"None\"=hex(0):\n"
    "\"None with data\"=hex(0):01,02\n"
    "\"Link\"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,79,00,5c,00,4d,\\\n"
    "  00,61,00,63,00,68,00,69,00,6e,00,65,00,5c,00,53,00,6f,00,66,00,74,00,77,00,\\\n"
    "  61,00,72,00,65,00\n"
    "\"Resource list\"=hex(8):00,01\n"
    "\"Custom\"=hex(100):ff,00\n"
    "\"Long name with \\\"quotes\\\" and \\\\ backslash ünïcode\"=hex(7):66,69,72,73,74,20,\\\n"
    "  65,6e,74,72,79,00,73,65,63,6f,6e,64,00,00,66,6f,75,72,74,68,00,00\n"
    "\"Lines\"=hex(1):6f,6e,65,0d,0a,74,77,6f,00\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Typed Values\\Ünïcode \"key\"]\n"
    "\"x\"=hex:\n"
    "\n";

// Written here with LF and as UTF-8; version5() makes the file regedit writes.
inline const char Typed5[] =
    "Windows Registry Editor Version 5.00\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Typed Values]\n"
    "\"Text\"=\"a \\\"quoted\\\" C:\\\\path Grüße 東京\"\n"
    "@=\"default\"\n"
    "\"Expand\"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,5c,00,47,00,72,00,fc,00,df,\\\n"
    "  00,65,00,00,00\n"
    "\"Number\"=dword:0000002a\n"
    "\"Binary\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\n"
    "  16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27,28,29,2a,2b,2c,2d,2e,\\\n"
    "  2f,30,31,32,33,34,35,36,37,38,39,3a,3b,3c,3d,3e,3f,40,41,42,43,44,45,46,47,\\\n"
    "  48,49,4a,4b,4c,4d,4e,4f,50,51,52,53,54,55,56,57,58,59,5a,5b,5c,5d,5e,5f,60,\\\n"
    "  61,62,63\n"
    "\"Empty binary\"=hex:\n"
    "\"Multi\"=hex(7):6f,00,6e,00,65,00,00,00,00,00,64,00,72,00,65,00,69,00,20,00,e4,\\\n"
    "  00,00,00,00,00\n"
    "\"Empty multi\"=hex(7):\n"
    "\"Quad\"=hex(b):08,07,06,05,04,03,02,01\n"
    "\"Big endian\"=hex(5):00,00,00,2a\n"
    "\"None\"=hex(0):\n"
    "\"None with data\"=hex(0):01,02\n"
    "\"Link\"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,79,00,5c,00,4d,\\\n"
    "  00,61,00,63,00,68,00,69,00,6e,00,65,00,5c,00,53,00,6f,00,66,00,74,00,77,00,\\\n"
    "  61,00,72,00,65,00\n"
    "\"Resource list\"=hex(8):00,01\n"
    "\"Custom\"=hex(100):ff,00\n"
    "\"Long name with \\\"quotes\\\" and \\\\ backslash ünïcode\"=hex(7):66,00,69,00,72,00,\\\n"
    "  73,00,74,00,20,00,65,00,6e,00,74,00,72,00,79,00,00,00,73,00,65,00,63,00,6f,\\\n"
    "  00,6e,00,64,00,00,00,00,00,66,00,6f,00,75,00,72,00,74,00,68,00,00,00,00,00\n"
    "\"Lines\"=hex(1):6f,00,6e,00,65,00,0d,00,0a,00,74,00,77,00,6f,00,00,00\n"
    "\n"
    "[HKEY_CURRENT_USER\\Software\\Typed Values\\Ünïcode \"key\"]\n"
    "\"x\"=hex:\n"
    "\n";

// A text as a version 5 file: CR LF line ends, UTF-16LE after a byte order mark.
inline QByteArray version5(const char* text)
{
    QString wide = QString::fromUtf8(text);
    wide.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return QByteArray("\xFF\xFE") +
           QByteArray(reinterpret_cast<const char*>(wide.utf16()), wide.size() * 2);
}

} // namespace RegeditFiles
