#include "platform/gif.h"

#include <fstream>

namespace tavir::platform {

namespace {

void put16(std::string& out, int v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}

// Packs variable-width codes least significant bit first into data
// sub-blocks of at most 255 bytes.
class CodeWriter {
public:
    explicit CodeWriter(std::string& out) : out_(out) {}
    void write(uint32_t code, int bits) {
        acc_ |= code << used_;
        used_ += bits;
        while (used_ >= 8) {
            byte(static_cast<uint8_t>(acc_ & 0xFF));
            acc_ >>= 8;
            used_ -= 8;
        }
    }
    void finish() {
        if (used_ > 0) byte(static_cast<uint8_t>(acc_ & 0xFF));
        flushBlock();
        out_.push_back('\0');
    }

private:
    void byte(uint8_t b) {
        block_.push_back(static_cast<char>(b));
        if (block_.size() == 255) flushBlock();
    }
    void flushBlock() {
        if (block_.empty()) return;
        out_.push_back(static_cast<char>(block_.size()));
        out_ += block_;
        block_.clear();
    }
    std::string& out_;
    std::string block_;
    uint32_t acc_ = 0;
    int used_ = 0;
};

// String table of the LZW coder: (prefix code, next index) -> code, in an
// open-addressing hash small enough to clear cheaply at every reset.
class CodeTable {
public:
    CodeTable() : keys_(kSize), codes_(kSize) { clear(); }
    void clear() { std::fill(keys_.begin(), keys_.end(), -1); }
    int find(int32_t key) const {
        for (uint32_t i = slot(key);; i = (i + 1) & (kSize - 1)) {
            if (keys_[i] == key) return codes_[i];
            if (keys_[i] < 0) return -1;
        }
    }
    void insert(int32_t key, int code) {
        uint32_t i = slot(key);
        while (keys_[i] >= 0) i = (i + 1) & (kSize - 1);
        keys_[i] = key;
        codes_[i] = static_cast<int16_t>(code);
    }

private:
    static constexpr uint32_t kSize = 16384;
    static uint32_t slot(int32_t key) { return (static_cast<uint32_t>(key) * 2654435761u >> 8) & (kSize - 1); }
    std::vector<int32_t> keys_;
    std::vector<int16_t> codes_;
};

void compress(const IndexedImage& image, int minCodeSize, std::string& out) {
    out.push_back(static_cast<char>(minCodeSize));
    CodeWriter writer(out);
    const int clearCode = 1 << minCodeSize;
    int codeSize = minCodeSize + 1;
    int maxCode = clearCode + 1;
    CodeTable table;
    writer.write(clearCode, codeSize);
    int current = -1;
    for (uint8_t value : image.pixels) {
        if (current < 0) {
            current = value;
            continue;
        }
        const int32_t key = (current << 8) | value;
        if (int found = table.find(key); found >= 0) {
            current = found;
            continue;
        }
        writer.write(current, codeSize);
        table.insert(key, ++maxCode);
        if (maxCode >= (1 << codeSize)) ++codeSize;
        if (maxCode == 4095) {
            writer.write(clearCode, codeSize);
            table.clear();
            codeSize = minCodeSize + 1;
            maxCode = clearCode + 1;
        }
        current = value;
    }
    if (current >= 0) writer.write(current, codeSize);
    writer.write(clearCode, codeSize);
    writer.write(clearCode + 1, minCodeSize + 1);
    writer.finish();
}

}  // namespace

std::string encodeGif(const IndexedImage& image) {
    int bits = 1;
    while ((1u << bits) < image.palette.size()) ++bits;
    const int tableSize = 1 << bits;
    std::string out = "GIF89a";
    put16(out, image.width);
    put16(out, image.height);
    out.push_back(static_cast<char>(0x80 | ((bits - 1) << 4) | (bits - 1)));  // global table, its size
    out.push_back('\0');  // background colour
    out.push_back('\0');  // pixel aspect
    for (int i = 0; i < tableSize; ++i) {
        const auto c = i < int(image.palette.size()) ? image.palette[size_t(i)] : std::array<uint8_t, 3>{};
        out.append(reinterpret_cast<const char*>(c.data()), 3);
    }
    if (image.transparent >= 0) {
        const char gce[] = {'\x21', '\xF9', '\x04', '\x01', '\0', '\0', static_cast<char>(image.transparent), '\0'};
        out.append(gce, sizeof gce);
    }
    out.push_back(',');
    put16(out, 0);
    put16(out, 0);
    put16(out, image.width);
    put16(out, image.height);
    out.push_back('\0');  // no local table, not interlaced
    compress(image, bits < 2 ? 2 : bits, out);
    out.push_back(';');
    return out;
}

Status writeGif(const std::filesystem::path& path, const IndexedImage& image) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    const std::string bytes = encodeGif(image);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!f) return Status::fail(ErrorKind::Io, "Не записан файл " + path.string());
    return Status::ok();
}

}  // namespace tavir::platform
