#pragma once
// Which implementation of the AES block loops the cipher contexts run: the
// 32-bit table form, which runs everywhere, or the processor's AES
// instructions (AES-NI), used where CPUID reports them. Portable.

enum class AesEngine { kTableForm, kAesNi };

// True when this processor executes the AES instructions (and this build
// carries the code for them: x86 and x86-64 only).
bool ProcessorHasAesNi();

// The engine in use: AES-NI where the processor has it, unless the table
// form was selected.
AesEngine ActiveAesEngine();

// Selects the engine for every context of the process from now on; AES-NI
// is taken only where the processor has it. Returns the engine now in use.
AesEngine SelectAesEngine(AesEngine wanted);
