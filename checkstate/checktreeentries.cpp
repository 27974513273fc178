#include "checkstate/checktreeentries.h"

TCheckTreeEntries::TCheckTreeEntries() = default;
TCheckTreeEntries::~TCheckTreeEntries() = default;

void TCheckTreeEntries::Release(int number)
{
    if (FStore && number >= 0)
        FStore->Release(number);
}

void TCheckTreeEntries::Clear()
{
    if (FStore)
        FStore->Clear();
}
