# The clipboard (being written).
