#pragma once
// Device-broadcast records of WM_DEVICECHANGE, as far as the shell controls read them: volume
// arrivals and removals (media inserted or taken out, network volumes coming or going).

#include <windows.h>
#include <dbt.h>

#include <cstddef>
#include <optional>

// The published layouts the decoding below relies on.
static_assert(offsetof(DEV_BROADCAST_HDR, dbch_devicetype) == 4);
static_assert(offsetof(DEV_BROADCAST_VOLUME, dbcv_unitmask) == 12);
static_assert(offsetof(DEV_BROADCAST_VOLUME, dbcv_flags) == 16);

// What changed: the medium in a drive, or a network volume (the values of the record's flags).
enum TShDeviceChangeKind : WORD { dkMedia = DBTF_MEDIA, dkNetwork = DBTF_NET };

// A decoded volume event.
struct TShVolumeEvent {
  TShDeviceChangeKind Kind;
  char Drive;  // 'A' to 'Z' for a media change; 0 for a network volume
};

// True for the device-change codes whose record tells of a volume: arrival and removal complete.
inline bool IsVolumeEventCode(WPARAM code) {
  return code == DBT_DEVICEARRIVAL || code == DBT_DEVICEREMOVECOMPLETE;
}

// The volume event a broadcast record tells of. Nothing for a missing or short record, another
// device type, a volume record with neither the media nor the network flag, and a media change
// whose unit mask names no drive. Of several drives in the mask only the first (lowest bit) counts.
inline std::optional<TShVolumeEvent> DecodeVolumeBroadcast(const DEV_BROADCAST_HDR* record) {
  if (!record || record->dbch_devicetype != DBT_DEVTYP_VOLUME) return std::nullopt;
  if (record->dbch_size < sizeof(DEV_BROADCAST_VOLUME)) return std::nullopt;
  const auto* volume = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(record);
  if (volume->dbcv_flags & DBTF_MEDIA) {
    const DWORD mask = volume->dbcv_unitmask & 0x03FFFFFF;  // bit 0 is A:, bit 25 is Z:
    if (mask == 0) return std::nullopt;
    int bit = 0;
    while (!(mask & (1u << bit))) ++bit;
    return TShVolumeEvent{dkMedia, static_cast<char>('A' + bit)};
  }
  if (volume->dbcv_flags & DBTF_NET) return TShVolumeEvent{dkNetwork, 0};
  return std::nullopt;
}
