// XM serialisation (see xm_writer.h). Little-endian throughout; every size field is
// computed from the bytes actually written, because readers walk the file by sizes.
#include "xm_writer.h"

#include "file_io.h"

namespace {

struct ByteWriter {
    std::vector<uint8_t> out;
    void u8(unsigned v) { out.push_back(static_cast<uint8_t>(v)); }
    void u16(unsigned v) { u8(v & 0xFF); u8((v >> 8) & 0xFF); }
    void u32(uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); }
    void text(const std::string& s, size_t width) {
        for (size_t i = 0; i < width; ++i) u8(i < s.size() ? static_cast<uint8_t>(s[i]) : ' ');
    }
    void zeros(size_t n) { out.insert(out.end(), n, 0); }
};

std::vector<uint8_t> packPattern(const XmPattern& p, int channels) {
    std::vector<uint8_t> data;
    for (int i = 0; i < p.rows * channels; ++i) {
        const XmCell& c = p.cells[i];
        const uint8_t fields[5] = {c.note, c.instrument, c.volume, c.effect, c.param};
        uint8_t flags = 0x80;
        for (int f = 0; f < 5; ++f)
            if (fields[f] != 0) flags |= static_cast<uint8_t>(1 << f);
        data.push_back(flags);
        for (int f = 0; f < 5; ++f)
            if (fields[f] != 0) data.push_back(fields[f]);
    }
    return data;
}

void writeInstrument(ByteWriter& w, const XmInstrument& ins) {
    if (ins.samples.size() > 1 || ins.volumeEnvelope.size() > 12)
        throw ToolError("instrument '" + ins.name + "' exceeds the XM limits of this writer");
    if (ins.samples.empty()) {
        w.u32(29);
        w.text(ins.name, 22);
        w.u8(0);
        w.u16(0);
        return;
    }
    w.u32(263);
    w.text(ins.name, 22);
    w.u8(0);
    w.u16(1);
    w.u32(40);
    w.zeros(96);  // every note plays sample 0
    for (size_t i = 0; i < 12; ++i) {
        const bool used = i < ins.volumeEnvelope.size();
        w.u16(used ? ins.volumeEnvelope[i].tick : 0);
        w.u16(used ? ins.volumeEnvelope[i].value : 0);
    }
    w.zeros(48);  // panning envelope: unused
    w.u8(static_cast<unsigned>(ins.volumeEnvelope.size()));
    w.u8(0);
    w.u8(ins.sustainPoint >= 0 ? ins.sustainPoint : 0);
    w.u8(0);
    w.u8(0);
    w.zeros(3);
    unsigned flags = ins.volumeEnvelope.size() >= 2 ? 1u : 0u;
    if (flags && ins.sustainPoint >= 0) flags |= 2u;
    w.u8(flags);
    w.u8(0);
    w.zeros(4);  // no auto-vibrato
    w.u16(ins.fadeout);
    w.zeros(22);

    const XmSample& s = ins.samples[0];
    if (s.loopStart + s.loopLength > s.frames.size())
        throw ToolError("sample '" + s.name + "' has a loop past its end");
    w.u32(static_cast<uint32_t>(2 * s.frames.size()));
    w.u32(2 * s.loopStart);
    w.u32(2 * s.loopLength);
    w.u8(s.volume);
    w.u8(static_cast<uint8_t>(s.finetune));
    w.u8(0x10 | (s.loopLength > 0 ? 1 : 0));  // 16-bit, forward loop when looped
    w.u8(s.panning);
    w.u8(static_cast<uint8_t>(s.relativeNote));
    w.u8(0);
    w.text(s.name, 22);
    int16_t previous = 0;
    for (int16_t v : s.frames) {
        // Delta coding wraps in 16 bits, as the decoder's running sum does.
        w.u16(static_cast<uint16_t>(static_cast<uint16_t>(v) - static_cast<uint16_t>(previous)));
        previous = v;
    }
}

}  // namespace

std::vector<uint8_t> writeXm(const XmModule& m) {
    if (m.channels < 2 || m.channels > 32 || m.orders.empty() || m.orders.size() > 256 ||
        m.patterns.size() > 256 || m.instruments.size() > 128)
        throw ToolError("module '" + m.name + "' exceeds the XM limits");
    for (uint8_t o : m.orders)
        if (o >= m.patterns.size()) throw ToolError("order names a pattern that does not exist");

    ByteWriter w;
    w.text("Extended Module: ", 17);
    w.text(m.name, 20);
    w.u8(0x1A);
    w.text("FastTracker v2.00", 20);
    w.u16(0x0104);
    w.u32(276);
    w.u16(static_cast<unsigned>(m.orders.size()));
    w.u16(m.restartPosition);
    w.u16(m.channels);
    w.u16(static_cast<unsigned>(m.patterns.size()));
    w.u16(static_cast<unsigned>(m.instruments.size()));
    w.u16(1);  // linear frequency table
    w.u16(m.speed);
    w.u16(m.bpm);
    for (size_t i = 0; i < 256; ++i) w.u8(i < m.orders.size() ? m.orders[i] : 0);

    for (const XmPattern& p : m.patterns) {
        if (p.rows < 1 || p.rows > 256 || p.cells.size() != static_cast<size_t>(p.rows * m.channels))
            throw ToolError("pattern has a wrong number of cells");
        const std::vector<uint8_t> data = packPattern(p, m.channels);
        if (data.size() > 65535) throw ToolError("pattern too large to pack");
        w.u32(9);
        w.u8(0);
        w.u16(p.rows);
        w.u16(static_cast<unsigned>(data.size()));
        w.out.insert(w.out.end(), data.begin(), data.end());
    }
    for (const XmInstrument& ins : m.instruments) writeInstrument(w, ins);
    return w.out;
}
