#pragma once
// The AES block loops on the processor's AES instructions (AES-NI). They
// take the round keys of a CWAESCipher as they are: the forward schedule for
// encryption, the equivalent inverse schedule (InvMixColumns applied to the
// inner round keys) for decryption, which is what AESDEC expects. Callable
// only where ProcessorHasAesNi() is true; input may equal output.
#include <cstddef>
#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#define KVN_HAVE_AES_NI 1

void AesNiEncryptEcb(const uint32_t (*roundKeys)[4], int rounds, const uint8_t* input, size_t blockCount,
                     uint8_t* output);
void AesNiDecryptEcb(const uint32_t (*roundKeys)[4], int rounds, const uint8_t* input, size_t blockCount,
                     uint8_t* output);
void AesNiEncryptCbc(const uint32_t (*roundKeys)[4], int rounds, const uint8_t iv[16], const uint8_t* input,
                     size_t blockCount, uint8_t* output);
void AesNiDecryptCbc(const uint32_t (*roundKeys)[4], int rounds, const uint8_t iv[16], const uint8_t* input,
                     size_t blockCount, uint8_t* output);
#endif
