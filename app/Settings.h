// The settings record of "VelEAN13.cfg": 190 bytes, read and written whole. Bytes 0..79 hold
// the value field's text as single-byte characters ended by a zero byte; bytes 80..189 are
// reserved and written back exactly as read.
#pragma once
#include <QString>
#include <array>
#include <cstdint>

class TSettingsRecord {
 public:
  static constexpr int RecordSize = 190;
  static constexpr int ValueSize = 80;
  static constexpr const char* FileName = "VelEAN13.cfg";

  TSettingsRecord() { FBytes.fill(0); }
  // Reads up to 190 bytes; a shorter file fills only its length. False (record unchanged)
  // when the file is missing, is not a file (a folder of that name), or cannot be opened or
  // read: a read error is not an empty file, so the caller keeps its design value.
  bool Load(const QString& fileName);
  // Writes all 190 bytes, replacing the file only once they are written. A file that cannot
  // be written is skipped without a message; false then.
  bool Save(const QString& fileName) const;

  // The value area up to its first zero byte; all 80 bytes when it holds none.
  QString Value() const;
  // Stores text followed by a zero byte; bytes after the terminator stay as they were. A text
  // longer than 79 characters is cut to 79, so the terminator always fits.
  void SetValue(const QString& text);

  const std::array<uint8_t, RecordSize>& Bytes() const { return FBytes; }

 private:
  std::array<uint8_t, RecordSize> FBytes;
};

// Where the window keeps its settings file and finds its help page. Started from a shell the
// window uses the working folder, as it always has, so a folder of labels keeps its own last
// value. Started from the desktop menu (--desktop) it uses the user's configuration folder,
// never the home folder itself.

// $XDG_CONFIG_HOME/velean13, or ~/.config/velean13 when XDG_CONFIG_HOME is unset, empty or
// not an absolute path (the XDG base directory rules). Missing folders are made, private to
// the user; a folder that cannot be made shows up later as a settings file that cannot be
// written, which is skipped without a message.
QString DesktopSettingsFolder();
// The installed data folder (share/velean13 beside the program's bin folder).
QString InstalledDataFolder();
// The help page "VelEAN13.htm": beside the settings file when it is there, else in the
// installed data folder, else beside the program (a run from the build tree). When none
// holds it, the name beside the settings file, which the caller finds missing.
QString HelpPageFile(const QString& settingsFolder, const QString& dataFolder = InstalledDataFolder());
