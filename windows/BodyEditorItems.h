// The editor dialogs' numbers: dialogs, items and string lists.
#pragma once
#include <cstdint>

// Dialog numbers and the items both editors share.
constexpr int16_t kBodyDialogId = 211, kCraftDialogId = 202;
constexpr int16_t kEditOkItem = 1, kEditCancelItem = 2, kEditDeleteItem = 3, kEditNameItem = 4,
                  kEditNumberItem = 5, kEditPosItem = 6, kEditPosUnitItem = 10, kEditVelItem = 11,
                  kEditVelDistUnitItem = 15, kEditVelTimeUnitItem = 16, kEditRadiusItem = 18,
                  kEditRadiusUnitItem = 19, kEditMassItem = 20, kEditMassUnitItem = 22, kEditParentItem = 23;
// Body dialog only.
constexpr int16_t kBodyColorItem = 27, kBodyPictureCheckItem = 28, kBodyPictureItem = 29, kBodyPeriodItem = 30,
                  kBodyPeriodUnitItem = 31, kBodyRingsCheckItem = 32, kBodyRingItem = 33, kBodyRingRatioItem = 34,
                  kBodyTiltItem = 36, kBodyAzimuthItem = 38;
// Craft dialog only.
constexpr int16_t kCraftForceItem = 24, kCraftForceUnitItem = 25, kCraftDeltaVItem = 26,
                  kCraftDeltaVDistUnitItem = 27, kCraftDeltaVTimeUnitItem = 28, kCraftPushIndexItem = 29,
                  kCraftPrevEntryItem = 30, kCraftNextEntryItem = 31, kCraftEntryCaptionItem = 32,
                  kCraftDeleteEntryItem = 33;

// String lists of the editor: body texts, craft texts, parent pop-up.
constexpr int16_t kBodyEditorStrings = 1024, kCraftStrings = 1035, kParentMenuStrings = 1036;
