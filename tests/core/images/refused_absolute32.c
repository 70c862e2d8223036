int gTarget;
/* A 32-bit absolute address, which position-independent code never needs. */
__asm__(".section .data\n.globl gNarrowAddress\ngNarrowAddress: .long gTarget\n.text\n");
int ImageEntry(void) { return gTarget; }
