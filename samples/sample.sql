-- The bundled sample database: a small order book.
PRAGMA foreign_keys = ON;

CREATE TABLE customers (
    customer_id INTEGER PRIMARY KEY,
    name        VARCHAR(80) NOT NULL,
    city        VARCHAR(60),
    country     VARCHAR(60),
    created_at  TIMESTAMP NOT NULL DEFAULT CURRENT_TIMESTAMP
);

CREATE TABLE products (
    product_id  INTEGER PRIMARY KEY,
    name        VARCHAR(80) NOT NULL UNIQUE,
    unit_price  NUMERIC(10,2) NOT NULL CHECK (unit_price >= 0),
    discontinued BOOLEAN NOT NULL DEFAULT 0
);

CREATE TABLE orders (
    order_id    INTEGER PRIMARY KEY,
    customer_id INTEGER NOT NULL REFERENCES customers(customer_id),
    ordered_on  DATE NOT NULL,
    note        TEXT
);

CREATE TABLE order_lines (
    order_id    INTEGER NOT NULL REFERENCES orders(order_id) ON DELETE CASCADE,
    line_no     INTEGER NOT NULL,
    product_id  INTEGER NOT NULL REFERENCES products(product_id),
    quantity    INTEGER NOT NULL CHECK (quantity > 0),
    PRIMARY KEY (order_id, line_no)
);

CREATE INDEX ix_orders_customer ON orders(customer_id);

INSERT INTO customers (customer_id, name, city, country, created_at) VALUES
    (1, 'Harbor Supplies', 'Lisbon', 'Portugal', '2024-01-15 09:30:00'),
    (2, 'Nordlicht GmbH', 'Kiel', 'Germany', '2024-02-03 14:05:00'),
    (3, 'Café Olé', 'Lyon', 'France', '2024-03-21 11:00:00'),
    (4, 'Quiet Pines Ltd', 'Aberdeen', 'United Kingdom', '2024-04-02 16:45:00');

INSERT INTO products (product_id, name, unit_price, discontinued) VALUES
    (1, 'Rope, 10 m', 12.50, 0),
    (2, 'Lantern', 34.00, 0),
    (3, 'Compass', 19.95, 0),
    (4, 'Tide table 2023', 4.00, 1);

INSERT INTO orders (order_id, customer_id, ordered_on, note) VALUES
    (100, 1, '2024-05-01', NULL),
    (101, 2, '2024-05-03', 'Deliver to the "north" gate'),
    (102, 3, '2024-05-07', 'Fragile'),
    (103, 1, '2024-06-11', NULL);

INSERT INTO order_lines (order_id, line_no, product_id, quantity) VALUES
    (100, 1, 1, 4), (100, 2, 2, 1),
    (101, 1, 3, 10),
    (102, 1, 2, 2), (102, 2, 3, 1),
    (103, 1, 1, 1);

CREATE VIEW order_totals AS
    SELECT o.order_id, c.name AS customer, SUM(l.quantity * p.unit_price) AS total
    FROM orders o
    JOIN customers c ON c.customer_id = o.customer_id
    JOIN order_lines l ON l.order_id = o.order_id
    JOIN products p ON p.product_id = l.product_id
    GROUP BY o.order_id, c.name;
