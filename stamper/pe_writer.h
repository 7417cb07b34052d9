#pragma once
// A PE file rebuilt around a new resource section.

#include <string>

#include "stamper/pe_image.h"

namespace tarn::stamper {

struct RebuildNotes {
  bool certificateDropped = false;
};

// The index of the section that the resource directory begins, or -1 with
// the reason.
int resourceSectionIndex(const PeImage& image, std::wstring& why);

// The file with `resources` (serialised for the resource section's RVA) as
// its resource section. Sections before it stay as they are; the resource
// section keeps its RVA and file offset and takes its new size; the sections
// after it, which must be discardable (base relocations, debug information)
// and referred to by nothing but the base relocation directory, follow it
// unchanged; data after the last section (a COFF symbol table, for
// instance) follows them; a certificate table is dropped. The headers are
// brought up to date and the checksum recomputed. False, with the reason,
// for a layout this cannot rebuild.
bool rebuildWithResources(const std::string& file, const PeImage& image, const std::string& resources, std::string& out,
                          RebuildNotes& notes, std::wstring& why);

}  // namespace tarn::stamper
