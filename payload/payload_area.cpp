// The payload area: the packer's output placed in a read-only section of the
// image as one block. KRESKA_PAYLOAD_BIN is the packed file's path.
#define KRESKA_STR2(x) #x
#define KRESKA_STR(x) KRESKA_STR2(x)
#define KRESKA_SYMBOL(name) KRESKA_STR(__USER_LABEL_PREFIX__) #name

__asm__(
    ".section .rdata,\"dr\"\n"
    ".balign 16\n"
    ".globl " KRESKA_SYMBOL(PayloadArea) "\n"
    KRESKA_SYMBOL(PayloadArea) ":\n"
    ".incbin \"" KRESKA_PAYLOAD_BIN "\"\n"
    ".text\n");
