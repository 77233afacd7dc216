#include "platform/ui/Clipboard.h"

#include <QBuffer>
#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QMimeData>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <map>
#include <mutex>

namespace tessmor {

namespace {

MemoryClipboard g_default_clipboard;
Clipboard* g_clipboard = nullptr;

// Names registered in this process, by number.
std::mutex g_registry_mutex;
std::map<unsigned, std::string>& Registry() {
  static std::map<unsigned, std::string> registry;
  return registry;
}

bool IsStandardFormat(unsigned format) {
  return format == kClipText || format == kClipDib || format == kClipEnhMetafile;
}

bool IsKnownFormat(unsigned format) {
  return IsStandardFormat(format) || !Clipboard::FormatName(format).empty();
}

constexpr char kEmfMime[] = "image/x-emf";

QString MimeForName(const std::string& name) {
  if (name == kClipSvgName) return QString::fromLatin1(kClipSvgName);
  return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"")
      .arg(QString::fromStdString(name));
}

QByteArray ToQByteArray(const std::vector<std::uint8_t>& bytes) {
  return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<qsizetype>(bytes.size()));
}

std::vector<std::uint8_t> FromQByteArray(const QByteArray& bytes) {
  return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

std::uint32_t ReadU32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// A packed device-independent bitmap as an image; a null image when the bytes are not one.
QImage ImageFromPackedDib(const std::vector<std::uint8_t>& dib) {
  if (dib.size() < 40) return {};
  const std::uint32_t header_size = ReadU32(dib, 0);
  if (header_size < 40 || header_size > dib.size()) return {};
  const unsigned bit_count = static_cast<unsigned>(dib[14]) | static_cast<unsigned>(dib[15]) << 8;
  const std::uint32_t compression = ReadU32(dib, 16);
  const std::uint32_t colors_used = ReadU32(dib, 32);
  std::uint64_t colors = colors_used;
  if (colors == 0 && bit_count <= 8) colors = std::uint64_t{1} << bit_count;
  std::uint64_t offset = 14 + std::uint64_t{header_size} + colors * 4;
  if (compression == 3 && header_size == 40) offset += 12;  // the three bit-field masks
  if (offset > 14 + std::uint64_t{dib.size()}) return {};
  // The file image is the packed bitmap behind a 14-byte file header.
  const std::uint64_t total = 14 + std::uint64_t{dib.size()};
  if (total > 0x7FFFFFFF) return {};
  std::vector<std::uint8_t> file(14);
  file[0] = 'B';
  file[1] = 'M';
  for (int i = 0; i < 4; ++i) {
    file[2 + i] = static_cast<std::uint8_t>(total >> (8 * i));
    file[10 + i] = static_cast<std::uint8_t>(offset >> (8 * i));
  }
  file.insert(file.end(), dib.begin(), dib.end());
  QImage image;
  image.loadFromData(ToQByteArray(file), "BMP");
  return image;
}

// An image as a packed device-independent bitmap; empty when it cannot be written.
std::vector<std::uint8_t> PackedDibFromImage(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "BMP");
  if (image.isNull() || !writer.write(image) || bytes.size() <= 14) return {};
  return std::vector<std::uint8_t>(bytes.begin() + 14, bytes.end());
}

// FNV-1a over the characters of a name.
std::uint32_t HashName(const std::string& name) {
  std::uint32_t h = 2166136261u;
  for (unsigned char c : name) {
    h ^= c;
    h *= 16777619u;
  }
  return h;
}

}  // namespace

// --- Clipboard ---

Clipboard::~Clipboard() = default;

unsigned Clipboard::RegisterFormat(const std::string& name) {
  if (name.empty()) return 0;
  std::lock_guard<std::mutex> lock(g_registry_mutex);
  std::map<unsigned, std::string>& registry = Registry();
  constexpr unsigned kRange = kLastRegisteredFormat - kFirstRegisteredFormat + 1;
  unsigned slot = HashName(name) % kRange;
  // Two names that meet on one number: the later one takes the next free number.
  for (unsigned tries = 0; tries < kRange; ++tries, slot = (slot + 1) % kRange) {
    const unsigned format = kFirstRegisteredFormat + slot;
    auto it = registry.find(format);
    if (it == registry.end()) {
      registry.emplace(format, name);
      return format;
    }
    if (it->second == name) return format;
  }
  return 0;
}

std::string Clipboard::FormatName(unsigned format) {
  std::lock_guard<std::mutex> lock(g_registry_mutex);
  const std::map<unsigned, std::string>& registry = Registry();
  auto it = registry.find(format);
  return it == registry.end() ? std::string() : it->second;
}

bool Clipboard::SetText(const std::string& text) {
  return SetData(kClipText, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::optional<std::string> Clipboard::GetText() {
  std::optional<std::vector<std::uint8_t>> bytes = GetData(kClipText);
  if (!bytes) return std::nullopt;
  return std::string(bytes->begin(), bytes->end());
}

// --- MemoryClipboard ---

bool MemoryClipboard::Open() {
  if (busy_ || open_) return false;
  open_ = true;
  return true;
}

void MemoryClipboard::Close() { open_ = false; }

bool MemoryClipboard::Empty() {
  if (!open_) return false;
  formats_.clear();
  return true;
}

bool MemoryClipboard::SetData(unsigned format, const std::vector<std::uint8_t>& bytes) {
  if (!open_ || !IsKnownFormat(format)) return false;
  for (auto& [f, data] : formats_) {
    if (f == format) {
      data = bytes;
      return true;
    }
  }
  formats_.emplace_back(format, bytes);
  return true;
}

std::optional<std::vector<std::uint8_t>> MemoryClipboard::GetData(unsigned format) {
  if (!open_) return std::nullopt;
  for (const auto& [f, data] : formats_) {
    if (f == format) return data;
  }
  return std::nullopt;
}

// --- SystemClipboard ---

// What has been done to the clipboard since Open(); it reaches the system on Close().
struct SystemClipboard::Pending {
  bool emptied = false;
  std::map<unsigned, std::vector<std::uint8_t>> placed;
};

SystemClipboard::SystemClipboard() = default;
SystemClipboard::~SystemClipboard() {
  if (open_) Close();
}

bool SystemClipboard::Open() {
  if (open_ || !qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return false;
  pending_ = std::make_unique<Pending>();
  open_ = true;
  return true;
}

bool SystemClipboard::Empty() {
  if (!open_) return false;
  pending_->emptied = true;
  pending_->placed.clear();
  return true;
}

bool SystemClipboard::SetData(unsigned format, const std::vector<std::uint8_t>& bytes) {
  if (!open_ || !IsKnownFormat(format)) return false;
  if (format == kClipDib && ImageFromPackedDib(bytes).isNull()) return false;
  pending_->placed[format] = bytes;
  return true;
}

std::optional<std::vector<std::uint8_t>> SystemClipboard::GetData(unsigned format) {
  if (!open_) return std::nullopt;
  auto it = pending_->placed.find(format);
  if (it != pending_->placed.end()) return it->second;
  if (pending_->emptied || !IsKnownFormat(format)) return std::nullopt;
  const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
  if (!mime) return std::nullopt;
  switch (format) {
    case kClipText:
      if (!mime->hasText()) return std::nullopt;
      return FromQByteArray(mime->text().toUtf8());
    case kClipDib: {
      if (!mime->hasImage()) return std::nullopt;
      std::vector<std::uint8_t> dib = PackedDibFromImage(qvariant_cast<QImage>(mime->imageData()));
      if (dib.empty()) return std::nullopt;
      return dib;
    }
    case kClipEnhMetafile:
      if (!mime->hasFormat(kEmfMime)) return std::nullopt;
      return FromQByteArray(mime->data(kEmfMime));
    default: {
      const QString type = MimeForName(FormatName(format));
      if (!mime->hasFormat(type)) return std::nullopt;
      return FromQByteArray(mime->data(type));
    }
  }
}

void SystemClipboard::Close() {
  if (!open_) return;
  open_ = false;
  std::unique_ptr<Pending> pending = std::move(pending_);
  if (!pending->emptied && pending->placed.empty()) return;
  QClipboard* clipboard = QGuiApplication::clipboard();
  auto data = std::make_unique<QMimeData>();
  const QMimeData* old = clipboard->mimeData();
  if (!pending->emptied && old) {
    // Keep what the clipboard held, apart from the formats placed now.
    QStringList replaced;
    for (const auto& [format, bytes] : pending->placed) {
      if (format == kClipText) replaced << QStringLiteral("text/plain");
      if (format == kClipEnhMetafile) replaced << QString::fromLatin1(kEmfMime);
      if (!IsStandardFormat(format)) replaced << MimeForName(FormatName(format));
    }
    const bool keep_image = old->hasImage() && !pending->placed.count(kClipDib);
    for (const QString& type : old->formats()) {
      if (type.startsWith(QStringLiteral("image/")) && type != QString::fromLatin1(kEmfMime) &&
          type != QString::fromLatin1(kClipSvgName)) {
        continue;  // the image goes across whole below
      }
      if (type == QStringLiteral("application/x-qt-image")) continue;
      if (replaced.contains(type)) continue;
      if (type.startsWith(QStringLiteral("text/plain")) && pending->placed.count(kClipText)) {
        continue;
      }
      data->setData(type, old->data(type));
    }
    if (keep_image) data->setImageData(old->imageData());
  }
  for (const auto& [format, bytes] : pending->placed) {
    switch (format) {
      case kClipText:
        data->setText(QString::fromUtf8(ToQByteArray(bytes)));
        break;
      case kClipDib:
        data->setImageData(QVariant::fromValue(ImageFromPackedDib(bytes)));
        break;
      case kClipEnhMetafile:
        data->setData(kEmfMime, ToQByteArray(bytes));
        break;
      default:
        data->setData(MimeForName(FormatName(format)), ToQByteArray(bytes));
        break;
    }
  }
  clipboard->setMimeData(data.release());
}

// --- the process-wide clipboard ---

Clipboard& GetClipboard() { return g_clipboard ? *g_clipboard : g_default_clipboard; }

Clipboard* SetClipboard(Clipboard* clipboard) {
  Clipboard* old = g_clipboard ? g_clipboard : &g_default_clipboard;
  g_clipboard = clipboard;
  return old;
}

}  // namespace tessmor
