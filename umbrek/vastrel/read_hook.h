// The engine's read hook: called by the data library while it reads its
// directory. It does nothing; it is the one place where a host could show
// progress or yield during long reads.
#pragma once

void KX_ReadHook();
