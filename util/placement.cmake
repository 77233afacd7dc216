# Window placements and message hooks (being written).
