"""A rectangle of screen pixels, as the tests compare them: two pictures of
the same place are equal when every pixel is, and a place holds nothing but
its background when it has a single colour."""


class Picture:
    def __init__(self, width, height, rgb):
        if len(rgb) != width * height * 3:
            raise ValueError("%dx%d picture with %d bytes" % (width, height, len(rgb)))
        self.width = width
        self.height = height
        self.rgb = bytes(rgb)

    @classmethod
    def from_ppm(cls, data):
        """Reads a binary PPM (P6, 8 bits a sample), as ImageMagick writes it."""
        fields = []
        position = 0
        while len(fields) < 4:
            while data[position:position + 1].isspace():
                position += 1
            if data[position:position + 1] == b"#":
                position = data.index(b"\n", position) + 1
                continue
            end = position
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[position:end])
            position = end
        magic, width, height, maximum = fields[0], int(fields[1]), int(fields[2]), int(fields[3])
        if magic != b"P6" or maximum != 255:
            raise ValueError("not an 8-bit binary PPM: %r %d" % (magic, maximum))
        pixels = data[position + 1:position + 1 + width * height * 3]
        return cls(width, height, pixels)

    def colours(self):
        return {self.rgb[i:i + 3] for i in range(0, len(self.rgb), 3)}

    def is_plain(self):
        """Only one colour: nothing drawn on the background."""
        return len(self.colours()) <= 1

    def __eq__(self, other):
        return (isinstance(other, Picture) and (self.width, self.height, self.rgb)
                == (other.width, other.height, other.rgb))

    def __hash__(self):
        return hash((self.width, self.height, self.rgb))

    def __repr__(self):
        return "<Picture %dx%d, %d colours>" % (self.width, self.height, len(self.colours()))
