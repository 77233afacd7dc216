#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/PlatformExport.h"

namespace tessmor {

/// Clipboard formats. The standard ones carry the numbers of the desktop platform; a named
/// record format gets its number from Clipboard::RegisterFormat (0xC000 and above).
enum ClipboardFormat : unsigned {
  /// Plain text: the characters, without a terminator.
  kClipText = 1,
  /// A picture as a packed device-independent bitmap: the information header, the colour
  /// table and the pixels, i.e. a bitmap file image without its 14-byte file header.
  kClipDib = 8,
  /// A picture as an enhanced metafile: the bytes of an .emf file.
  kClipEnhMetafile = 14,
};

/// The name of the registered format that carries a picture as an SVG document (the bytes of
/// an .svg file); on the desktop clipboard it goes under this MIME type itself.
inline constexpr char kClipSvgName[] = "image/svg+xml";

/// Lowest and highest number a registered format name can get.
inline constexpr unsigned kFirstRegisteredFormat = 0xC000;
inline constexpr unsigned kLastRegisteredFormat = 0xFFFF;

/// The system clipboard: one block of bytes per format.
///
/// Every exchange runs between Open() and Close(), as on the desktop platform: the
/// clipboard is taken, emptied or read or given new formats, and let go. Calls made while
/// the clipboard is not open fail (false, or nothing).
class TESSMOR_PLATFORM_EXPORT Clipboard {
 public:
  virtual ~Clipboard();

  /// The number of the format registered under `name`: the same number for the same name in
  /// every call and in every program (it is derived from the name's characters), within
  /// kFirstRegisteredFormat … kLastRegisteredFormat. 0 for an empty name.
  static unsigned RegisterFormat(const std::string& name);
  /// The name a format number was registered under in this process; empty for the standard
  /// formats and for numbers never registered.
  static std::string FormatName(unsigned format);

  /// Takes the clipboard; false when it cannot be had (another program holds it, or there is
  /// no clipboard). A successful Open() must be followed by Close().
  virtual bool Open() = 0;
  /// Lets the clipboard go; what was placed since Open() is what other programs now see.
  virtual void Close() = 0;
  bool IsOpen() const { return open_; }

  /// Removes every format. False when the clipboard is not open.
  virtual bool Empty() = 0;
  /// Places `bytes` under `format`, replacing what that format held and keeping the other
  /// formats. False when the clipboard is not open or `format` is neither standard nor
  /// registered.
  virtual bool SetData(unsigned format, const std::vector<std::uint8_t>& bytes) = 0;
  /// The bytes held under `format`; nothing when the format is absent or the clipboard is
  /// not open.
  virtual std::optional<std::vector<std::uint8_t>> GetData(unsigned format) = 0;
  /// True when the open clipboard holds `format`.
  bool HasFormat(unsigned format) { return GetData(format).has_value(); }

  /// SetData(kClipText, the characters of `text`).
  bool SetText(const std::string& text);
  /// The text on the clipboard; nothing when it holds none or is not open.
  std::optional<std::string> GetText();

 protected:
  bool open_ = false;
};

/// A clipboard in memory (tests and the batch tool). It can be made busy, so that Open()
/// fails as it does while another program holds the system clipboard.
class TESSMOR_PLATFORM_EXPORT MemoryClipboard : public Clipboard {
 public:
  bool Open() override;
  void Close() override;
  bool Empty() override;
  bool SetData(unsigned format, const std::vector<std::uint8_t>& bytes) override;
  std::optional<std::vector<std::uint8_t>> GetData(unsigned format) override;

  /// While busy, Open() fails.
  void set_busy(bool busy) { busy_ = busy; }
  /// Number of formats held (for tests; needs no Open()).
  std::size_t FormatCount() const { return formats_.size(); }

 private:
  bool busy_ = false;
  std::vector<std::pair<unsigned, std::vector<std::uint8_t>>> formats_;
};

/// The desktop clipboard, on QClipboard; needs a QGuiApplication. Text goes as
/// "text/plain", a packed bitmap as an image, an enhanced metafile as "image/x-emf", the format
/// registered as kClipSvgName as "image/svg+xml", and any other registered format under the MIME
/// type `application/x-qt-windows-mime;value="NAME"` (the name Qt gives the registered format NAME
/// on the desktop platform, so that records pass between programs there as well).
class TESSMOR_PLATFORM_EXPORT SystemClipboard : public Clipboard {
 public:
  SystemClipboard();
  ~SystemClipboard() override;
  /// Fails when there is no QGuiApplication.
  bool Open() override;
  void Close() override;
  bool Empty() override;
  bool SetData(unsigned format, const std::vector<std::uint8_t>& bytes) override;
  std::optional<std::vector<std::uint8_t>> GetData(unsigned format) override;

 private:
  struct Pending;
  std::unique_ptr<Pending> pending_;
};

/// The process-wide clipboard; a MemoryClipboard until one is installed.
TESSMOR_PLATFORM_EXPORT Clipboard& GetClipboard();
/// Installs `clipboard` (not owned; null restores the default) and returns the previous one.
TESSMOR_PLATFORM_EXPORT Clipboard* SetClipboard(Clipboard* clipboard);

}  // namespace tessmor
