kestrane_gtest(DatReaderTest SOURCES DatReaderTest.cpp LIBS kestrane_datfile kestrane_testdata)
kestrane_gtest(DatasetTest SOURCES DatasetTest.cpp LIBS kestrane_datfile)
kestrane_gtest(NumbersTest SOURCES NumbersTest.cpp LIBS kestrane_common)
