// The test support library always has at least this unit.
