CREATE TABLE t (
  id INT NOT NULL AUTO_INCREMENT PRIMARY KEY, name VARCHAR(50) NOT NULL, qty INT NOT NULL,
  price DECIMAL(12,2) NOT NULL, created DATETIME NOT NULL, comment VARCHAR(200) NOT NULL,
  shipped DATE NULL
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_unicode_ci;
SET @lorem = 'Livraison prévue après réception du paiement; contrôle qualité effectué. Größere Mengen auf Anfrage, Lieferung frei Haus. Pedido urgente: añadir a la próxima remesa. Notes: fragile items, handle with care, déjà vu, naïve façade, smørrebrød ok.';
INSERT INTO t (name, qty, price, created, comment, shipped)
SELECT CONCAT(ELT(1 + seq % 16, 'José Álvarez', 'Zoë Müller', 'François Lefèvre', 'Søren Kierkegård',
         'Łukasz Żółkiewski', 'Ana Peña', 'Jürgen Weiß', 'Renée Côté', 'Ørjan Ødegård', 'Chloé Brontë',
         'Anders Nilsson', 'Mary Smith', 'Ítalo Gonçalves', 'Antonín Dvořák', 'Ömer Şahin', 'John Miller'), ' #', seq),
       (seq * 7919) % 1000,
       ((seq * 104729) % 9999999) / 100,
       TIMESTAMP '2015-01-01 00:00:00' + INTERVAL ((seq * 7907) % 315360000) SECOND,
       SUBSTRING(@lorem, 1 + seq % 37, 10 + (seq * 7) % 181),
       IF(seq % 5 = 0, NULL, DATE '2015-01-01' + INTERVAL (seq % 3650) DAY)
FROM seq_1_to_1000000;
ANALYZE TABLE t;
