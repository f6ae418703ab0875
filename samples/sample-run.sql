-- Run by `make run` on a machine without a display, through the command-line batch run.
SELECT customer_id, name, city, country FROM customers ORDER BY customer_id
GO
SELECT * FROM order_totals ORDER BY order_id
GO
SELECT COUNT(*) AS products, SUM(discontinued) AS discontinued FROM products
GO
