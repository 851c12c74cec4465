# Real spreadsheet readers check the workbooks we write.
