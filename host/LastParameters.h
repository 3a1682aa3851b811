// The parameters of the last run, kept by the host's descriptor registry across runs and restarts,
// with a settings file standing in for a host that has no registry.
#pragma once

#include "sdk/HostInterface.h"

// The key under which the registry keeps the block; the same unique string as in the PiPL.
constexpr const char* kRegistryKey = "75d59f99-3ae5-401F-bf44-409a01ddec70";
constexpr DescriptorKeyID kParameterBlockKey = FourCC("PBlk");

// Loads the last parameters into the current ones (which must be locked): the registered block, else
// the last-parameters file, else the factory values. Every failure falls back to the next source.
void RestoreLastParameters();

// Stores the current parameters in the registry, or in the last-parameters file when it cannot.
void PersistLastParameters();
