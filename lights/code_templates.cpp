#include "lights/code_templates.h"

#include "basics/le_words.h"

namespace lumora {

namespace {

// Opcodes of the landing-light code that have a role of their own here; the
// others are written as their value.
constexpr std::uint16_t OP_BEGIN = 0x0076;
constexpr std::uint16_t OP_RETURN = 0x0022;
constexpr std::uint16_t OP_CALL = 0x0023;
constexpr std::uint16_t OP_ROUTINE = 0x0040;  // begins each re-entry routine and light block
constexpr std::uint16_t OP_TRANSFER_3B = 0x003B;
constexpr std::uint16_t OP_TRANSFER_41 = 0x0041;
constexpr std::uint16_t OP_LIGHT_TEST = 0x004A;
constexpr std::uint16_t OP_OUTLINE = 0x001A;
constexpr std::uint16_t OP_OUTLINE_INDICES = 0x003E;

constexpr std::uint16_t FIXED_SCALE = 7;
// Control re-enters the model code this far behind the template's end.
constexpr unsigned REENTRY_DISTANCE = 128;

constexpr std::uint16_t CLOSING_WORDS[8] = {0x0013, 9, 7, 7, 25, 31, 0xFFF9, 0xFFF8};

// Offsets of the places that distances lead to (or that the filling writes).
struct Labels {
    unsigned fixed_return;     // shared by the first instructions of the fixed part
    unsigned chain_16;         // the 0x0039 chain: 18 -> 64 -> 78 -> call at 92
    unsigned chain_8;
    unsigned chain_call;
    unsigned second_return;
    unsigned reentry_1;
    unsigned reentry_1_return;
    unsigned reentry_2;
    unsigned reentry_2_return;
    unsigned light_tests;
    unsigned block[LIGHT_COUNT_MAX];
    unsigned block_return[LIGHT_COUNT_MAX];
    unsigned reentry_point;
};

// Lays out the words one after another. The first pass only learns where
// the labels fall; the second writes every distance from the two offsets.
struct Assembler {
    CodeTemplate code;
    unsigned at;
    Labels labels;
};

constexpr void word(Assembler& a, std::uint16_t value)
{
    a.code.bytes[a.at] = static_cast<std::uint8_t>(value & 0xFF);
    a.code.bytes[a.at + 1] = static_cast<std::uint8_t>(value >> 8);
    a.at += 2;
}

// An opcode whose first operand is the distance from the opcode to target.
constexpr void jump(Assembler& a, std::uint16_t opcode, unsigned target)
{
    const unsigned here = a.at;
    word(a, opcode);
    word(a, static_cast<std::uint16_t>((target - here) & 0xFFFF));
}

constexpr void words(Assembler& a, std::uint16_t w1, std::uint16_t w2, std::uint16_t w3)
{
    word(a, w1);
    word(a, w2);
    word(a, w3);
}

// The end that the fixed part's two tails and the re-entry routines share:
// a transfer at the fixed scale back into the model code, then the return
// that the routine's 0x0034 leads to.
constexpr void transfer_tail(Assembler& a, std::uint16_t transfer, unsigned& routine_return)
{
    word(a, 0x0004);
    jump(a, 0x0034, routine_return);
    words(a, 0, 0, FIXED_SCALE);
    jump(a, transfer, a.labels.reentry_point);
    word(a, 0x001C);
    routine_return = a.at;
    word(a, OP_RETURN);
}

constexpr void reentry_routine(Assembler& a, unsigned& start, unsigned& routine_return)
{
    start = a.at;
    word(a, OP_ROUTINE);
    transfer_tail(a, OP_TRANSFER_41, routine_return);
}

constexpr void fixed_part(Assembler& a)
{
    Labels& l = a.labels;
    word(a, OP_BEGIN);
    jump(a, 0x003A, l.fixed_return);
    words(a, 0, 0, 0);
    word(a, 0x0004);
    word(a, 0x008E);
    word(a, 100);
    jump(a, 0x0039, l.chain_16);
    word(a, 0x0068);
    word(a, 0x8002);
    jump(a, OP_CALL, l.reentry_1);
    jump(a, OP_CALL, l.light_tests);
    jump(a, 0x003A, l.fixed_return);
    words(a, 0, 0, 0);
    transfer_tail(a, OP_TRANSFER_3B, l.fixed_return);

    l.chain_16 = a.at;
    jump(a, 0x0039, l.chain_8);
    word(a, 0x0068);
    word(a, 0x0010);
    jump(a, OP_CALL, l.light_tests);
    word(a, OP_RETURN);

    l.chain_8 = a.at;
    jump(a, 0x0039, l.chain_call);
    word(a, 0x0068);
    word(a, 0x0008);
    jump(a, OP_CALL, l.reentry_2);
    word(a, OP_RETURN);

    l.chain_call = a.at;
    jump(a, OP_CALL, l.light_tests);
    jump(a, 0x003A, l.second_return);
    words(a, 0, 0, 0);
    transfer_tail(a, OP_TRANSFER_3B, l.second_return);

    reentry_routine(a, l.reentry_1, l.reentry_1_return);
    reentry_routine(a, l.reentry_2, l.reentry_2_return);
}

// The light's beam x, y, z and its outline start as zeros, its scale as 13.
constexpr void light_block(Assembler& a, unsigned i)
{
    a.labels.block[i] = a.at;
    word(a, OP_ROUTINE);
    word(a, 0x0004);
    jump(a, 0x0034, a.labels.block_return[i]);
    words(a, 0, 0, SCALE_COARSEST);
    words(a, OP_OUTLINE, 0, OUTLINE_POINTS);
    for (unsigned k = 0; k < OUTLINE_POINTS; ++k) {
        words(a, 0, 0, 0);
    }
    words(a, OP_OUTLINE_INDICES, OUTLINE_POINTS, 0);
    words(a, 0x7FFF, 0, 0);
    word(a, 0);
    for (unsigned k = 0; k < OUTLINE_POINTS; ++k) {
        word(a, static_cast<std::uint16_t>(k));
    }
    a.labels.block_return[i] = a.at;
    word(a, OP_RETURN);
}

constexpr void lay_out(Assembler& a, unsigned n)
{
    a.at = 0;
    fixed_part(a);
    a.labels.light_tests = a.at;
    for (unsigned i = 0; i < n; ++i) {
        jump(a, OP_LIGHT_TEST, a.labels.block[i]);
        word(a, 0x001C);
        words(a, 0, 0, 0);
    }
    word(a, OP_RETURN);
    for (unsigned i = 0; i < n; ++i) {
        light_block(a, i);
    }
    for (std::uint16_t closing : CLOSING_WORDS) {
        word(a, closing);
    }
    a.code.size = static_cast<std::uint16_t>(a.at);
    a.labels.reentry_point = a.at + REENTRY_DISTANCE;
}

constexpr Assembler assemble(unsigned n)
{
    Assembler a{};
    lay_out(a, n);  // learns the labels
    lay_out(a, n);  // writes the distances
    return a;
}

constexpr Assembler ASSEMBLED[LIGHT_COUNT_MAX] = {assemble(1), assemble(2), assemble(3)};

// The filling writes at offsets computed from the layout's formulas; they
// must name the places the layout really put the entries and blocks.
constexpr bool offsets_agree()
{
    for (unsigned n = 1; n <= LIGHT_COUNT_MAX; ++n) {
        const Assembler& a = ASSEMBLED[n - 1];
        if (a.code.size != template_size(n) || a.labels.light_tests != light_test_offset(1)) {
            return false;
        }
        for (unsigned i = 1; i <= n; ++i) {
            if (a.labels.block[i - 1] != light_block_offset(n, i)) {
                return false;
            }
        }
    }
    return true;
}
static_assert(offsets_agree(), "template layout and fill offsets disagree");
static_assert(template_size(LIGHT_COUNT_MAX) == TEMPLATE_SIZE_MAX, "largest template must fit");

void store_vector(std::uint8_t* p, const ModelVector& v)
{
    store_u16(p, static_cast<std::uint16_t>(v.x));
    store_u16(p + 2, static_cast<std::uint16_t>(v.y));
    store_u16(p + 4, static_cast<std::uint16_t>(v.z));
}

ModelVector load_vector(const std::uint8_t* p) { return {load_s16(p), load_s16(p + 2), load_s16(p + 4)}; }

}  // namespace

CodeTemplate code_template(unsigned n)
{
    if (n < 1 || n > LIGHT_COUNT_MAX) {
        return CodeTemplate{};
    }
    return ASSEMBLED[n - 1].code;
}

void fill_code_template(CodeTemplate& block, unsigned n, const LightRecord* records)
{
    if (n < 1 || n > LIGHT_COUNT_MAX || block.size != template_size(n)) {
        return;
    }
    for (unsigned i = 1; i <= n; ++i) {
        store_vector(block.bytes + beam_field_offset(i), records[i - 1].beam);
        store_u16(block.bytes + scale_field_offset(n, i), records[i - 1].scale);
        for (unsigned k = 0; k < OUTLINE_POINTS; ++k) {
            store_vector(block.bytes + outline_field_offset(n, i) + 6 * k, records[i - 1].outline[k]);
        }
    }
}

LightRecord read_light_record(const std::uint8_t* block, unsigned n, unsigned i)
{
    LightRecord record{};
    record.beam = load_vector(block + beam_field_offset(i));
    record.scale = load_u16(block + scale_field_offset(n, i));
    for (unsigned k = 0; k < OUTLINE_POINTS; ++k) {
        record.outline[k] = load_vector(block + outline_field_offset(n, i) + 6 * k);
    }
    return record;
}

}  // namespace lumora
